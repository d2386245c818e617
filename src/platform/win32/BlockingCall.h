#pragma once
#include <functional>

namespace orvitex::win32 {

// Runs call on a worker thread while this thread runs serve for each message that
// arrives, and returns when call has returned, rethrowing what it threw. A failure
// of serve stops the serving, never the call: the worker is always joined first.
void RunWhileServing(const std::function<void()>& call, const std::function<void()>& serve);

// A quit request waits in this thread's queue: serving would only put it back.
[[nodiscard]] bool QuitPending();

}  // namespace orvitex::win32
