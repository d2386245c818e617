#include "install/RunReport.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ctime>
#include <exception>

#include "install/ExitCodes.h"
#include "install/PackageFile.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

using nlohmann::ordered_json;

std::string U8(std::u16string_view text) {
    return ToUtf8(text);
}

std::string_view ActionName(PackageAction action) {
    switch (action) {
        case PackageAction::Fetched:
            return "fetched";
        case PackageAction::Reused:
            return "reused";
        case PackageAction::SkippedNull:
            return "skipped as Null";
        case PackageAction::StoppedEmpty:
            return "stopped at length 0";
        case PackageAction::NotReached:
            break;
    }
    return "not reached";
}

ordered_json ScriptName(const std::optional<ScriptOutcome>& outcome) {
    if (!outcome) {
        return nullptr;
    }
    switch (*outcome) {
        case ScriptOutcome::ClickedThrough:
            return "clicked through";
        case ScriptOutcome::NotFound:
            return "not found";
        case ScriptOutcome::LimitReached:
            return "limit reached";
    }
    return nullptr;
}

ordered_json Package(const PackageRecord& p) {
    const bool hasFile = p.action == PackageAction::Fetched || p.action == PackageAction::Reused;
    return {{"index", p.index},
            {"file", U8(p.file)},
            {"action", ActionName(p.action)},
            {"bytes", hasFile ? ordered_json(p.bytes) : ordered_json(nullptr)},
            {"sha256", p.sha256.empty() ? ordered_json(nullptr) : ordered_json(U8(p.sha256))},
            {"started", p.started},
            {"script", ScriptName(p.script)},
            {"seconds", p.script ? ordered_json(p.seconds) : ordered_json(nullptr)},
            {"fetchSeconds", p.fetchMs ? ordered_json(static_cast<double>(*p.fetchMs) / 1000)
                                       : ordered_json(nullptr)},
            {"bytesPerSecond",
             BytesPerSecond(p) ? ordered_json(*BytesPerSecond(p)) : ordered_json(nullptr)}};
}

ordered_json Usage(const std::optional<platform::UsageFigures>& usage) {
    if (!usage) {
        return nullptr;
    }
    return {{"cpuMs", usage->cpu.count()},
            {"aliveMs", usage->alive.count()},
            {"peakWorkingSetBytes", usage->peakWorkingSetBytes},
            {"peakPrivateBytes", usage->peakPrivateBytes}};
}

}  // namespace

std::string ReportJson(const ReportFrame& frame, const RunRecord& record) {
    ordered_json doc = {{"program", "orvitex-setup"},
                        {"version", U8(frame.version)},
                        {"mode", frame.check ? "check" : "run"},
                        {"code", record.code ? ordered_json(U8(*record.code)) : nullptr},
                        {"started", U8(frame.started)},
                        {"ended", U8(frame.ended)},
                        {"exitCode", frame.exitCode},
                        {"exitMeaning", ExitMeaning(frame.exitCode, frame.check)}};
    if (frame.check) {
        ordered_json checks = ordered_json::array();
        for (const auto& c : record.checks) {
            checks.push_back({{"name", U8(c.name)}, {"ok", c.passed}, {"detail", U8(c.detail)}});
        }
        doc["checks"] = std::move(checks);
        return doc.dump(2) + "\n";
    }
    ordered_json packages = ordered_json::array();
    for (const auto& p : record.packages) {
        packages.push_back(Package(p));
    }
    doc["packages"] = std::move(packages);
    doc["clientConfig"] = record.clientConfig
                              ? ordered_json{{"source", U8(record.clientConfig->source)},
                                             {"result", U8(record.clientConfig->result)}}
                              : ordered_json(nullptr);
    ordered_json writes = ordered_json::array();
    for (const auto& w : record.registryWrites) {
        writes.push_back({{"key", U8(w.key)},
                          {"name", U8(w.name)},
                          {"data", U8(w.data)},
                          {"result", U8(w.result)}});
    }
    doc["registryWrites"] = std::move(writes);
    doc["process"] = Usage(record.usage);
    return doc.dump(2) + "\n";
}

bool WriteReport(platform::FileSystem& files, std::u16string_view path, const ReportFrame& frame,
                 const RunRecord& record) {
    const std::string text = ReportJson(frame, record);
    try {
        WriteFileWhole(files, path, {reinterpret_cast<const std::byte*>(text.data()), text.size()});
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::u16string UndoneWork(const RunRecord& record) {
    std::u16string undone;
    if (record.clientConfig && record.clientConfig->result.starts_with(u"failed")) {
        undone = u"Orvitex.ini not copied from " + record.clientConfig->source;
    }
    const auto unwritten =
        std::count_if(record.registryWrites.begin(), record.registryWrites.end(),
                      [](const RegistryWriteRecord& w) { return w.result != u"written"; });
    if (unwritten > 0) {
        undone += (undone.empty() ? u"" : u"; ") + ToText(std::int64_t{unwritten}) +
                  u" registry values not written";
    }
    return undone;
}

std::u16string UtcNow() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    if (const std::tm* utc = std::gmtime(&now)) {
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
    }
    return FromUtf8(text);
}

}  // namespace orvitex::install
