#pragma once
// What a run or a check did, kept for the machine-readable report: never a
// password.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "install/ObservedRegistry.h"
#include "install/Packages.h"
#include "install/WindowScripts.h"
#include "platform/ProcessUsage.h"

namespace orvitex::install {

enum class PackageAction { NotReached, Fetched, Reused, SkippedNull, StoppedEmpty };

using orvitex::ToText;
// "fetched", "reused", "skipped as Null", "stopped at length 0", "not reached".
[[nodiscard]] std::u16string_view ToText(PackageAction action);

struct PackageRecord {
    std::int32_t index = 0;
    std::u16string file;
    PackageAction action = PackageAction::NotReached;
    std::int64_t bytes = 0;
    std::u16string sha256;  // of the file as started; empty when unknown
    bool started = false;
    std::optional<ScriptOutcome> script;
    double seconds = 0;                   // from the start to the end of its window script
    std::optional<std::int64_t> fetchMs;  // query, read and write, when fetched
    std::vector<ClickRecord> clicks;
    // An exit code of its program that is no crash, read after its window script.
    std::optional<std::uint32_t> exitCode;
};

enum class ConfigCopy { NotTried, Copied, Failed, NotAFolder };

// The report's words for the copy: "copied", "failed: …", "not copied: …".
[[nodiscard]] std::u16string_view ToText(ConfigCopy copy);

// A copy that was tried and did not land: the run did not do all of its work.
[[nodiscard]] constexpr bool IsFailed(ConfigCopy copy) {
    return copy == ConfigCopy::Failed || copy == ConfigCopy::NotAFolder;
}

struct ClientConfigRecord {
    std::u16string source;
    ConfigCopy result = ConfigCopy::NotTried;
    // Why the source cannot be reached, when it is known (a drive this program cannot see).
    std::optional<std::u16string> unreachable;
};

// Of a fetch that took any measurable time.
[[nodiscard]] inline std::optional<std::int64_t> BytesPerSecond(const PackageRecord& p) {
    if (!p.fetchMs || *p.fetchMs <= 0) {
        return std::nullopt;
    }
    return p.bytes * 1000 / *p.fetchMs;
}

struct RegistryWriteRecord {
    std::u16string key;
    std::u16string name;
    std::u16string data;
    WriteResult result;
    std::u16string views;  // each view's result, by the view rule
};

struct CheckResult {
    std::u16string name;
    bool passed = false;
    std::u16string detail;
    bool warning = false;  // passed, with something to tell: "warn", same exit code
};

// A picture of the screen the run saved, and what went wrong when it did.
struct PictureRecord {
    std::u16string path;
    std::u16string why;
};

struct RunRecord {
    RunRecord() {
        for (std::size_t i = 0; i < packages.size(); ++i) {
            packages[i].index = kSetupPackages[i].index;
            packages[i].file = kSetupPackages[i].file;
        }
    }
    std::optional<std::u16string> code;
    std::array<PackageRecord, kPackageCount> packages;
    std::optional<ClientConfigRecord> clientConfig;
    std::vector<RegistryWriteRecord> registryWrites;
    std::vector<CheckResult> checks;
    std::vector<PictureRecord> pictures;
    std::optional<platform::UsageFigures> usage;  // the program's own, taken as it ends
};

}  // namespace orvitex::install
