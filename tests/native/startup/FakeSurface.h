#pragma once
// The main window's surface in memory: positions in twips, a counter that sizes
// itself at a fixed width per character, and a journal of every change.
#include <string>
#include <vector>

#include "platform/Text.h"
#include "startup/MainWindow.h"

namespace orvitex::testing {

class FakeSurface : public startup::MainWindowSurface {
public:
    std::vector<std::string>* journal = nullptr;
    std::u16string counterText = u"0/0";
    double barWidth = 165;
    forms::PointTwips position{};

    void Yield() override { Note("yield"); }
    void SetCounterText(std::u16string_view text) override {
        Note("counter " + ToUtf8(text));
        counterText = text;
    }
    double CounterWidth() override { return 75.0 * static_cast<double>(counterText.size()); }
    void SetCounterLeft(double) override {}
    double TrackLeft() override { return 315; }
    double TrackWidth() override { return 6870; }
    void MoveBar(double, double, double width) override {
        Note("bar moved");
        barWidth = width;
    }
    void SetBarWidth(float width) override { barWidth = width; }
    forms::SizeTwips ScreenSize() override { return {19200, 15360}; }
    forms::SizeTwips OuterSize() override { return {7905, 3990}; }
    void Move(forms::PointTwips topLeft) override {
        Note("move");
        position = topLeft;
    }
    void SetStatusLineVisible(bool visible) override {
        Note(visible ? "status shown" : "status hidden");
    }
    forms::PointTwips Position() override { return position; }
    void SetStatusText(std::u16string_view text) override { Note("status " + ToUtf8(text)); }
    std::u16string CodeText() override { return u"typed"; }
    std::uintptr_t NativeHandle() override { return 0x1234; }
    void SetCodeText(std::u16string_view text) override { Note("code '" + ToUtf8(text) + "'"); }
    void ShowCompletionWindow() override { Note("completion window"); }

private:
    void Note(std::string entry) {
        if (journal) {
            journal->push_back(std::move(entry));
        }
    }
};

}  // namespace orvitex::testing
