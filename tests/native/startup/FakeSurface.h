#pragma once
// The main window's surface in memory: positions in twips and a counter that sizes
// itself at a fixed width per character.
#include <string>

#include "startup/MainWindow.h"

namespace orvitex::testing {

class FakeSurface : public startup::MainWindowSurface {
public:
    std::u16string counterText = u"0/0";
    double barWidth = 165;
    forms::PointTwips position{};

    void Yield() override {}
    void SetCounterText(std::u16string_view text) override { counterText = text; }
    double CounterWidth() override { return 75.0 * static_cast<double>(counterText.size()); }
    void SetCounterLeft(double) override {}
    double TrackLeft() override { return 315; }
    double TrackWidth() override { return 6870; }
    void MoveBar(double, double, double width) override { barWidth = width; }
    void SetBarWidth(float width) override { barWidth = width; }
    forms::SizeTwips ScreenSize() override { return {19200, 15360}; }
    forms::SizeTwips OuterSize() override { return {7905, 3990}; }
    void Move(forms::PointTwips topLeft) override { position = topLeft; }
    void SetStatusLineVisible(bool) override {}
    forms::PointTwips Position() override { return position; }
    void SetStatusText(std::u16string_view) override {}
    std::u16string CodeText() override { return u"typed"; }
    std::uintptr_t NativeHandle() override { return 0x1234; }
    void SetCodeText(std::u16string_view) override {}
    void ShowCompletionWindow() override {}
};

}  // namespace orvitex::testing
