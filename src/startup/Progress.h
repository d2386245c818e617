#pragma once
// The overall progress display: the counter lblstate전체, the track
// picProgress전체 and the bar picProgressbar전체 of the main window.
#include <cstdint>
#include <string_view>

namespace orvitex::startup {

// The controls the display drives. Positions and widths are twips; the counter
// and the track share one container.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void Yield() = 0;
    // The counter sizes itself to the new text.
    virtual void SetCounterText(std::u16string_view text) = 0;
    [[nodiscard]] virtual double CounterWidth() = 0;
    virtual void SetCounterLeft(double left) = 0;
    [[nodiscard]] virtual double TrackLeft() = 0;
    [[nodiscard]] virtual double TrackWidth() = 0;
    virtual void MoveBar(double left, double top, double width) = 0;
    virtual void SetBarWidth(float width) = 0;
};

void ResetProgress(ProgressView& view);
// Throws RuntimeError for a total of 0 with another current, and for a negative
// width, after the counter has changed; the bar then keeps its width.
void ShowProgress(ProgressView& view, std::int32_t current, std::int32_t total);

}  // namespace orvitex::startup
