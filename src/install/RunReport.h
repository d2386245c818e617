#pragma once
// The machine-readable report of a run or a check: a JSON document that a
// deployment tool reads instead of message boxes. It is put in place whole.
#include <string>
#include <string_view>

#include "install/RunRecord.h"
#include "platform/FileSystem.h"

namespace orvitex::install {

// docs/report.schema.json describes this version; a change of shape raises it.
inline constexpr int kReportSchemaVersion = 1;

struct ReportFrame {
    std::u16string version;
    bool check = false;
    std::u16string started;  // UTC, ISO 8601
    std::u16string ended;
    int exitCode = 0;
    std::u16string message;  // the one that ended a quiet program
};

[[nodiscard]] std::string ReportJson(const ReportFrame& frame, const RunRecord& record);

// Written under a temporary name and renamed over path; false when that failed.
[[nodiscard]] bool WriteReport(platform::FileSystem& files, std::u16string_view path,
                               const ReportFrame& frame, const RunRecord& record);

// What a run that reached its end failed to do: the client configuration file
// not copied, registry values not written; empty when it did everything.
[[nodiscard]] std::u16string UndoneWork(const RunRecord& record);

// "finished, but 2 wizards did not complete": wizards found but not clicked through
// (a wait that reached its limit); empty when there are none.
[[nodiscard]] std::u16string UndoneWizardsLine(const RunRecord& record);

// The exit code of a run that reached its completion window: undone work before
// undone wizards before complete.
[[nodiscard]] int CompletedRunExitCode(const RunRecord& record);

// The log's last line of a run that reached its completion window.
[[nodiscard]] std::u16string EndOfRunLine(const RunRecord& record);

// The current time as "2026-12-07T00:30:00Z".
[[nodiscard]] std::u16string UtcNow();

}  // namespace orvitex::install
