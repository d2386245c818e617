#pragma once
// What a run or a check did, kept for the machine-readable report: never a
// password.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "install/Packages.h"
#include "install/WindowScripts.h"
#include "platform/ProcessUsage.h"

namespace orvitex::install {

enum class PackageAction { NotReached, Fetched, Reused, SkippedNull, StoppedEmpty };

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
    std::u16string result;
};

struct ClientConfigRecord {
    std::u16string source;
    std::u16string result;
};

struct CheckResult {
    std::u16string name;
    bool passed = false;
    std::u16string detail;
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
    std::optional<platform::UsageFigures> usage;  // the program's own, taken as it ends
};

}  // namespace orvitex::install
