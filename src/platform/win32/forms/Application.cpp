#include "platform/win32/forms/Application.h"

namespace orvitex::forms::win32 {

void Application::Yield() {
    MSG message{};
    while (!pending_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RethrowPending();
}

int Application::Run() {
    MSG message{};
    while (!pending_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RethrowPending();
    return static_cast<int>(message.wParam);
}

void Application::RunUntil(const std::function<bool()>& done) {
    MSG message{};
    while (!pending_ && !done()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // Keep the quit for the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RethrowPending();
}

void Application::Dispatch(const std::function<void()>& handler) noexcept {
    if (pending_) {
        return;
    }
    try {
        handler();
    } catch (...) {
        pending_ = std::current_exception();
        PostMessageW(nullptr, WM_NULL, 0, 0);  // wakes a waiting loop
    }
}

void Application::RethrowPending() {
    if (pending_) {
        std::rethrow_exception(std::exchange(pending_, nullptr));
    }
}

}  // namespace orvitex::forms::win32
