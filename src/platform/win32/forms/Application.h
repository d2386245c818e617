#pragma once
// The program's message loop. A failure inside a window event cannot cross the
// window system's frames, so it is kept here and thrown again from the loop or
// the yield that delivered the event: it reaches the outermost handler.
#include "platform/win32/Win32Api.h"

#include <exception>
#include <functional>
#include <utility>

namespace orvitex::forms::win32 {

class Application {
public:
    explicit Application(HINSTANCE instance) : instance_(instance) {}
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    [[nodiscard]] HINSTANCE Instance() const { return instance_; }

    // Processes every pending event, then returns.
    void Yield();
    // Processes events until WM_QUIT; returns its code.
    int Run();
    // Processes events until done() holds (a modal window's wait).
    void RunUntil(const std::function<bool()>& done);

    // Runs an event handler; a failure is kept and the loop is told to stop.
    void Dispatch(const std::function<void()>& handler) noexcept;

    void SetBusy(bool busy) { busy_ = busy; }
    [[nodiscard]] bool Busy() const { return busy_; }

private:
    void RethrowPending();

    HINSTANCE instance_;
    std::exception_ptr pending_;
    bool busy_ = false;
};

}  // namespace orvitex::forms::win32
