#pragma once
// A desktop in virtual time: Sleep advances the clock, each Yield by a millisecond,
// and windows open and close at set moments. Every call is recorded.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iterator>
#include <optional>
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
    platform::InputDesktopFacts inputDesktop;      // an unlocked session's, unless changed
    std::vector<std::uintptr_t> hung;              // windows whose thread answers nothing
    std::vector<std::u16string> pictures;          // the screen pictures saved, by path
    std::optional<std::u16string> pictureFailure;  // set: no picture can be saved

    void Open(std::u16string caption, std::uintptr_t handle, platform::ScreenRect rect,
              std::chrono::milliseconds opens = 0ms,
              std::chrono::milliseconds closes = std::chrono::milliseconds::max()) {
        windows.push_back({std::move(caption), handle, rect, opens, closes});
    }
    [[nodiscard]] std::vector<Event> Only(Kind kind) const {
        std::vector<Event> picked;
        std::ranges::copy_if(events, std::back_inserter(picked),
                             [&](auto& e) { return e.kind == kind; });
        return picked;
    }

    platform::ForeignWindow FindWindowByCaption(std::u16string_view caption) override {
        const Window* w = OpenWindow([&](const Window& x) { return x.caption == caption; });
        events.push_back({Kind::Find, now_, w ? w->handle : 0});
        return platform::ForeignWindow(w ? w->handle : 0);
    }
    bool GetWindowRect(platform::ForeignWindow window, platform::ScreenRect& rect) override {
        events.push_back({Kind::Read, now_, window.Handle()});
        const Window* w =
            OpenWindow([&](const Window& x) { return window && x.handle == window.Handle(); });
        rect = w ? w->rect : rect;
        return w != nullptr;
    }
    void MakeTopmost(platform::ForeignWindow window, const platform::ScreenRect&) override {
        events.push_back({Kind::Pin, now_, window.Handle()});
    }
    bool Answers(platform::ForeignWindow window, std::chrono::milliseconds limit) override {
        if (std::ranges::find(hung, window.Handle()) == hung.end())
            return true;
        Pass(Kind::Wait, limit, limit);
        return false;
    }
    std::optional<std::u16string> SaveScreenPicture(std::u16string_view path) override {
        if (!pictureFailure)
            pictures.emplace_back(path);
        return pictureFailure;
    }
    void MoveCursor(std::int32_t x, std::int32_t y) override {
        cursorX_ = x;
        cursorY_ = y;
        events.push_back({Kind::Cursor, now_, 0, x, y});
    }
    void LeftClick() override { events.push_back({Kind::Click, now_, 0, cursorX_, cursorY_}); }
    void Yield() override { Pass(Kind::Yield, 1ms, 0ms); }
    void WaitForEvents(std::chrono::milliseconds limit) override { Pass(Kind::Wait, limit, limit); }
    void Sleep(std::chrono::milliseconds duration) override {
        Pass(Kind::Sleep, duration, duration);
    }
    std::chrono::milliseconds Now() override { return now_; }
    platform::InputDesktopFacts ReadInputDesktop() override { return inputDesktop; }

private:
    template <typename Match>
    const Window* OpenWindow(Match match) const {
        for (const Window& w : windows) {
            if (w.opens <= now_ && now_ < w.closes && match(w))
                return &w;
        }
        return nullptr;
    }
    void Pass(Kind kind, std::chrono::milliseconds time, std::chrono::milliseconds duration) {
        events.push_back({kind, now_, 0, 0, 0, duration});
        now_ += time;
    }

    std::chrono::milliseconds now_ = 0ms;
    std::int32_t cursorX_ = 0, cursorY_ = 0;
};

}  // namespace orvitex::testing
