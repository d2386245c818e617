#pragma once
// A desktop in virtual time: Sleep advances the clock instead of waiting, each
// Yield advances it by one millisecond, and wizard windows open and close at
// set moments. Every call is recorded with the moment it happened.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace orvitex::testing {

using namespace std::chrono_literals;

class FakeDesktop : public platform::Desktop {
public:
    struct Window {
        std::u16string caption;
        std::uintptr_t handle = 0;
        platform::ScreenRect rect;
        std::chrono::milliseconds opens = 0ms;
        std::chrono::milliseconds closes = std::chrono::milliseconds::max();
    };
    struct Event {
        enum class Kind { Find, Read, Pin, Cursor, Click, Yield, Wait, Sleep };
        Kind kind;
        std::chrono::milliseconds at;
        std::uintptr_t handle = 0;  // Find: the handle found; Read, Pin: the handle asked
        std::int32_t x = 0, y = 0;  // Cursor, Click: the cursor
        std::chrono::milliseconds duration = 0ms;  // Wait, Sleep
    };
    using Kind = Event::Kind;

    std::vector<Window> windows;
    std::vector<Event> events;
    // Runs inside each Yield, as a window event would.
    std::function<void()> onYield;

    void Open(std::u16string caption, std::uintptr_t handle, platform::ScreenRect rect,
              std::chrono::milliseconds opens = 0ms,
              std::chrono::milliseconds closes = std::chrono::milliseconds::max()) {
        windows.push_back({std::move(caption), handle, rect, opens, closes});
    }
    [[nodiscard]] std::chrono::milliseconds Clock() const { return now_; }
    [[nodiscard]] std::vector<Event> Only(Kind kind) const {
        std::vector<Event> picked;
        for (const Event& e : events) {
            if (e.kind == kind) {
                picked.push_back(e);
            }
        }
        return picked;
    }

    platform::ForeignWindow FindWindowByCaption(std::u16string_view caption) override {
        std::uintptr_t found = 0;
        if (const Window* w = OpenWindow([&](const Window& x) { return x.caption == caption; })) {
            found = w->handle;
        }
        Record({Kind::Find, now_, found});
        return platform::ForeignWindow(found);
    }
    bool GetWindowRect(platform::ForeignWindow window, platform::ScreenRect& rect) override {
        Record({Kind::Read, now_, window.Handle()});
        const Window* w =
            OpenWindow([&](const Window& x) { return window && x.handle == window.Handle(); });
        if (!w) {
            return false;
        }
        rect = w->rect;
        return true;
    }
    void MakeTopmost(platform::ForeignWindow window, const platform::ScreenRect&) override {
        Record({Kind::Pin, now_, window.Handle()});
    }
    void MoveCursor(std::int32_t x, std::int32_t y) override {
        cursorX_ = x;
        cursorY_ = y;
        Record({Kind::Cursor, now_, 0, x, y});
    }
    void LeftClick() override { Record({Kind::Click, now_, 0, cursorX_, cursorY_}); }
    void Yield() override {
        Record({Kind::Yield, now_});
        now_ += 1ms;
        if (onYield) {
            onYield();
        }
    }
    void WaitForEvents(std::chrono::milliseconds limit) override {
        Record({Kind::Wait, now_, 0, 0, 0, limit});
        now_ += limit;
    }
    void Sleep(std::chrono::milliseconds duration) override {
        Record({Kind::Sleep, now_, 0, 0, 0, duration});
        now_ += duration;
    }
    std::chrono::milliseconds Now() override { return now_; }

private:
    template <typename Match>
    const Window* OpenWindow(Match match) const {
        for (const Window& w : windows) {
            if (w.opens <= now_ && now_ < w.closes && match(w)) {
                return &w;
            }
        }
        return nullptr;
    }
    void Record(Event e) { events.push_back(e); }

    std::chrono::milliseconds now_ = 0ms;
    std::int32_t cursorX_ = 0, cursorY_ = 0;
};

}  // namespace orvitex::testing
