#pragma once
// The Ui the logic talks to: every message and the exit code go to the log; in
// quiet mode no message box waits, and a message ends the program with the exit
// code it stands for.
#include <functional>

#include "platform/Ui.h"
#include "startup/Log.h"

namespace orvitex::startup {

inline constexpr std::u16string_view kAlreadyRunning = u"이미 실행 중입니다.";

[[nodiscard]] int ExitCodeForMessage(std::u16string_view text);

class LoggingUi : public platform::Ui {
public:
    LoggingUi(platform::Ui& screen, Log& log, bool quiet)
        : screen_(screen), log_(log), quiet_(quiet) {}

    void ShowMessage(std::u16string_view text, platform::MessageIcon icon) override;
    void SetBusyPointer(bool busy) override { screen_.SetBusyPointer(busy); }
    void EndProgram(int exitCode) override;
    // Called just before the program ends through this Ui, with the exit code and
    // the message that ended it in quiet mode (else empty).
    using AtEnd = std::function<void(int, std::u16string_view)>;
    void OnEnd(AtEnd atEnd) { atEnd_ = std::move(atEnd); }

private:
    platform::Ui& screen_;
    Log& log_;
    bool quiet_;
    AtEnd atEnd_;
    std::u16string endingMessage_;
};

}  // namespace orvitex::startup
