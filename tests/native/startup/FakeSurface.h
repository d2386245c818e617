#pragma once
// The main window's surface in memory: positions in twips, a counter that sizes
// itself at a fixed width per character, and a journal of every call.
#include <string>
#include <vector>

#include "platform/Text.h"
#include "startup/MainWindow.h"

namespace orvitex::testing {

class FakeSurface : public startup::MainWindowSurface {
public:
    static constexpr double kTwipsPerChar = 75;
    std::vector<std::string>* journal = nullptr;

    forms::SizeTwips screen{19200, 15360};
    forms::SizeTwips outer{7905, 3990};
    forms::PointTwips position{};
    std::u16string counterText = u"0/0";
    double counterLeft = 6915;
    double counterWidth = 240;
    double trackLeft = 315;
    double trackWidth = 6870;
    double barLeft = -30, barTop = -195, barWidth = 165;
    bool statusVisible = true;
    std::u16string code = u"typed";
    std::u16string status;

    void Yield() override { Note("yield"); }
    void SetCounterText(std::u16string_view text) override {
        Note("counter " + ToUtf8(text));
        counterText = text;
        counterWidth = kTwipsPerChar * static_cast<double>(text.size());
    }
    double CounterWidth() override { return counterWidth; }
    void SetCounterLeft(double left) override { counterLeft = left; }
    double TrackLeft() override { return trackLeft; }
    double TrackWidth() override { return trackWidth; }
    void MoveBar(double left, double top, double width) override {
        Note("bar moved");
        barLeft = left;
        barTop = top;
        barWidth = width;
    }
    void SetBarWidth(float width) override { barWidth = width; }
    forms::SizeTwips ScreenSize() override { return screen; }
    forms::SizeTwips OuterSize() override { return outer; }
    void Move(forms::PointTwips topLeft) override {
        Note("move");
        position = topLeft;
    }
    void SetStatusLineVisible(bool visible) override {
        Note(visible ? "status shown" : "status hidden");
        statusVisible = visible;
    }
    forms::PointTwips Position() override { return position; }
    void SetStatusText(std::u16string_view text) override {
        Note("status " + ToUtf8(text));
        status = text;
    }
    std::u16string CodeText() override { return code; }
    std::uintptr_t NativeHandle() override { return 0x1234; }
    void SetCodeText(std::u16string_view text) override {
        Note("code '" + ToUtf8(text) + "'");
        code = text;
    }

    void ShowCompletionWindow() override { Note("completion window"); }

private:
    void Note(std::string entry) {
        if (journal) {
            journal->push_back(std::move(entry));
        }
    }
};

}  // namespace orvitex::testing
