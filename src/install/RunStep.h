#pragma once
// The steps of the run: one that fails is logged with the exit code the program ends
// with, then thrown as RunStepError named after the step.
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "install/FailureReason.h"
#include "install/RunLog.h"
#include "install/RunRecord.h"
#include "platform/Desktop.h"
#include "platform/Ui.h"

namespace orvitex::install {

// A failure of one step of the run, named: "package 3 (uOrvitex2.exe), writing
// the file: <reason>".
class RunStepError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The one way a step fails.
[[noreturn]] void FailStep(RunLog& log, std::u16string_view step, std::u16string_view reason);

// Clicks that land nowhere would spend every wait limit: without a desktop a person
// could click, the run stops with exit 9 before it changes anything (quiet: the log
// is the message).
[[nodiscard]] bool ClicksCanLand(platform::Desktop& desktop, RunLog& log, platform::Ui& ui,
                                 bool quiet);

// How a setup program ended: a crash fails the step; any other code of its own is
// kept and logged, and the run goes on.
void NoteProgramEnd(RunLog& log, std::u16string_view label, std::optional<std::uint32_t> code,
                    PackageRecord& kept);

// Runs one step; any failure inside comes out named after the step.
template <typename Step>
auto InStep(RunLog& log, std::u16string_view name, Step&& step) {
    try {
        return step();
    } catch (const std::exception&) {
        FailStep(log, name, FailureReason(std::current_exception()));
    }
}

// A connection, a query or a fetch, run where it cannot freeze the window.
template <typename Call>
auto Away(platform::Desktop& desktop, Call&& call) {
    std::optional<decltype(call())> result;
    desktop.RunBlockingCall([&] { result.emplace(call()); });
    return std::move(*result);
}

}  // namespace orvitex::install
