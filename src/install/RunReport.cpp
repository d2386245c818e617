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

ordered_json ScriptName(const std::optional<ScriptOutcome>& outcome) {
    return outcome ? ordered_json(U8(ToText(*outcome))) : ordered_json(nullptr);
}

// Its point, and what was under it where the desktop could tell (else nulls).
ordered_json Click(const ClickRecord& c) {
    ordered_json click = {
        {"x", c.x},         {"y", c.y},        {"physicalX", nullptr},       {"physicalY", nullptr},
        {"class", nullptr}, {"text", nullptr}, {"topLevelCaption", nullptr}, {"process", nullptr}};
    if (const auto& hit = c.hit) {
        click["physicalX"] = hit->physicalX;
        click["physicalY"] = hit->physicalY;
        click["class"] = U8(hit->windowClass);
        click["text"] = U8(hit->text);
        click["topLevelCaption"] = U8(hit->topLevelCaption);
        click["process"] = U8(hit->processImage);
    }
    return click;
}

ordered_json Package(const PackageRecord& p) {
    ordered_json clicks = ordered_json::array();
    for (const auto& c : p.clicks) {
        clicks.push_back(Click(c));
    }
    const bool hasFile = p.action == PackageAction::Fetched || p.action == PackageAction::Reused;
    return {{"index", p.index},
            {"file", U8(p.file)},
            {"action", U8(ToText(p.action))},
            {"bytes", hasFile ? ordered_json(p.bytes) : ordered_json(nullptr)},
            {"sha256", p.sha256.empty() ? ordered_json(nullptr) : ordered_json(U8(p.sha256))},
            {"started", p.started},
            {"script", ScriptName(p.script)},
            {"seconds", p.script ? ordered_json(p.seconds) : ordered_json(nullptr)},
            {"fetchSeconds", p.fetchMs ? ordered_json(static_cast<double>(*p.fetchMs) / 1000)
                                       : ordered_json(nullptr)},
            {"bytesPerSecond",
             BytesPerSecond(p) ? ordered_json(*BytesPerSecond(p)) : ordered_json(nullptr)},
            {"clicks", clicks},
            {"exitCode", p.exitCode ? ordered_json(*p.exitCode) : ordered_json(nullptr)}};
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

// Undone wizards are counted in the meaning, as in the log.
std::string Meaning(const ReportFrame& frame, const RunRecord& record) {
    if (!frame.check && frame.exitCode == kExitWizardsUndone) {
        return U8(UndoneWizardsLine(record));
    }
    return std::string(ExitMeaning(frame.exitCode, frame.check));
}

}  // namespace

std::string ReportJson(const ReportFrame& frame, const RunRecord& record) {
    ordered_json doc = {{"schemaVersion", kReportSchemaVersion},
                        {"program", "orvitex-setup"},
                        {"version", U8(frame.version)},
                        {"mode", frame.check ? "check" : "run"},
                        {"code", record.code ? ordered_json(U8(*record.code)) : nullptr},
                        {"started", U8(frame.started)},
                        {"ended", U8(frame.ended)},
                        {"exitCode", frame.exitCode},
                        {"exitMeaning", Meaning(frame, record)},
                        {"message", frame.message.empty() ? ordered_json(nullptr)
                                                          : ordered_json(U8(frame.message))}};
    if (frame.check) {
        ordered_json checks = ordered_json::array();
        for (const auto& c : record.checks) {
            const char* status = !c.passed ? "fail" : c.warning ? "warn" : "ok";
            checks.push_back({{"name", U8(c.name)},
                              {"ok", c.passed},
                              {"status", status},
                              {"detail", U8(c.detail)}});
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
                                             {"result", U8(ToText(record.clientConfig->result))}}
                              : ordered_json(nullptr);
    ordered_json writes = ordered_json::array();
    for (const auto& w : record.registryWrites) {
        writes.push_back({{"key", U8(w.key)},
                          {"name", U8(w.name)},
                          {"data", U8(w.data)},
                          {"result", U8(ToText(w.result))},
                          {"views", U8(w.views)}});
    }
    doc["registryWrites"] = std::move(writes);
    ordered_json pictures = ordered_json::array();
    for (const auto& p : record.pictures) {
        pictures.push_back({{"path", U8(p.path)}, {"why", U8(p.why)}});
    }
    doc["pictures"] = std::move(pictures);
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
    if (record.clientConfig && IsFailed(record.clientConfig->result)) {
        undone = u"Orvitex.ini not copied from " + record.clientConfig->source;
        if (record.clientConfig->unreachable) {
            undone += u" (" + *record.clientConfig->unreachable + u")";
        }
    }
    const auto unwritten = std::ranges::count_if(record.registryWrites, [](const auto& w) {
        return w.result.outcome != WriteOutcome::Written;
    });
    if (unwritten > 0) {
        undone += (undone.empty() ? u"" : u"; ") + ToText(std::int64_t{unwritten}) +
                  u" registry values not written";
    }
    return undone;
}

std::u16string UndoneWizardsLine(const RunRecord& record) {
    const auto undone = std::ranges::count_if(
        record.packages, [](const PackageRecord& p) { return p.script && LeftUndone(*p.script); });
    if (undone == 0) {
        return {};
    }
    return u"finished, but " + ToText(std::int64_t{undone}) + u" wizards did not complete";
}

int CompletedRunExitCode(const RunRecord& record) {
    if (!UndoneWork(record).empty()) {
        return kExitOtherFailure;
    }
    return UndoneWizardsLine(record).empty() ? kExitComplete : kExitWizardsUndone;
}

std::u16string EndOfRunLine(const RunRecord& record) {
    const std::u16string exitCode = ToText(std::int64_t{CompletedRunExitCode(record)});
    const std::u16string undone = UndoneWork(record);
    if (!undone.empty()) {
        return u"run finished with failures: " + undone + u"; exit code " + exitCode;
    }
    const std::u16string wizards = UndoneWizardsLine(record);
    return (wizards.empty() ? u"run complete" : u"run " + wizards) + u"; exit code " + exitCode +
           u" once the completion window closes";
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
