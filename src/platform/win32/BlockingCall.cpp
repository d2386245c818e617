#include "platform/win32/BlockingCall.h"

#include <exception>

#include "platform/win32/UniqueHandle.h"

namespace orvitex::win32 {
namespace {

struct Call {
    const std::function<void()>& run;
    std::exception_ptr failure;
};

DWORD WINAPI RunCall(LPVOID parameter) {
    auto& call = *static_cast<Call*>(parameter);
    try {
        call.run();
    } catch (...) {
        call.failure = std::current_exception();
    }
    return 0;
}

}  // namespace

bool QuitPending() {
    MSG message{};
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

void RunWhileServing(const std::function<void()>& call, const std::function<void()>& serve) {
    Call state{call, nullptr};
    const UniqueKernelHandle worker(CreateThread(nullptr, 0, RunCall, &state, 0, nullptr));
    if (!worker) {  // no thread to be had: the call blocks, as it always could
        call();
        return;
    }
    HANDLE handle = worker.Get();
    std::exception_ptr served;
    for (;;) {
        const bool serving = !served && !QuitPending();
        const DWORD woke = serving ? MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT,
                                                                 MWMO_INPUTAVAILABLE)
                                   : WaitForSingleObject(handle, INFINITE);
        if (woke != WAIT_OBJECT_0 + 1 || !serving)
            break;
        try {
            serve();
        } catch (...) {
            served = std::current_exception();
        }
    }
    // Whatever woke the loop, the worker still uses this frame's state until it ends.
    WaitForSingleObject(handle, INFINITE);
    if (state.failure)
        std::rethrow_exception(state.failure);
    if (served)
        std::rethrow_exception(served);
}

}  // namespace orvitex::win32
