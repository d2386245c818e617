#include "startup/Progress.h"

#include <string>

#include "platform/Text.h"
#include "startup/RuntimeError.h"

namespace orvitex::startup {
namespace {

void SetCounter(ProgressView& view, std::u16string_view text) {
    view.SetCounterText(text);
    view.SetCounterLeft(view.TrackLeft() + view.TrackWidth() - view.CounterWidth());
}

float BarWidth(double trackWidth, std::int32_t current, std::int32_t total) {
    if (current == total) {
        return static_cast<float>(trackWidth);
    }
    if (total == 0) {
        throw RuntimeError(kDivisionByZero, "Division by zero");
    }
    const double width = (trackWidth / total) * current;
    if (width < 0) {
        throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    }
    return static_cast<float>(width);
}

}  // namespace

void ResetProgress(ProgressView& view) {
    view.Yield();
    SetCounter(view, u"0/0");
    view.MoveBar(0, 0, 0);
}

void ShowProgress(ProgressView& view, std::int32_t current, std::int32_t total) {
    view.Yield();
    SetCounter(view, ToText(std::int64_t{current}) + u"/" + ToText(std::int64_t{total}));
    view.SetBarWidth(BarWidth(view.TrackWidth(), current, total));
}

}  // namespace orvitex::startup
