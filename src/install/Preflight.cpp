#include "install/Preflight.h"

#include <optional>

#include "install/ClientConfig.h"
#include "install/FailureReason.h"
#include "install/Institution.h"
#include "install/PackageFile.h"
#include "install/Packages.h"
#include "install/RegistryViews.h"
#include "install/ServerAliases.h"
#include "install/UpdateFolder.h"
#include "install/Workstation.h"
#include "platform/InputDesktop.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

constexpr std::u16string_view kInstallDrive = u"C:\\";

std::u16string Mib(std::uint64_t bytes) {
    return ToText(static_cast<std::int64_t>(bytes >> 20)) + u" MiB";
}

class Preflight {
public:
    explicit Preflight(PreflightServices& services) : s_(services) {}

    std::vector<CheckResult> Go(std::u16string_view code) {
        const bool connected = Connect();
        const std::optional<ServerRecord> record = Lookup(code, connected);
        InputDesktop();
        std::uint64_t toFetch = 0;
        for (const auto& package : kSetupPackages) {
            toFetch += StoredProgram(package, connected);
        }
        RegistryKey(kConnectToKey, u"registry ConnectTo");
        RegistryKey(kPolicyKey, u"registry Policies\\System");
        InstallFolder();
        FreeSpace(toFetch + kSpareBytes);
        ClientConfig(record);
        return std::move(results_);
    }

private:
    void Add(std::u16string name, bool passed, std::u16string detail, bool warning = false) {
        results_.push_back({std::move(name), passed, std::move(detail), warning});
    }

    bool Connect() {
        const ServerSettings& c = s_.settings;
        const bool connected =
            s_.mainServer.ConnectServerDB(c.mainServer, c.login, c.password, c.database) != 0;
        Add(u"main server", connected,
            (connected ? u"connected to " : u"cannot connect to ") + c.mainServer + u", database " +
                c.database);
        return connected;
    }

    std::optional<ServerRecord> Lookup(std::u16string_view code, bool connected) {
        const std::u16string name = u"institution code '" + std::u16string(code) + u"'";
        if (!connected) {
            Add(name, false, u"not looked up: no connection");
            return std::nullopt;
        }
        try {
            ServerRecord record;
            if (LookupInstitution(s_.database(), code, record)) {
                Add(name, true, u"found: server " + record.serverName);
                return record;
            }
            Add(name, false, u"not found");
        } catch (const std::exception&) {
            Add(name, false, u"lookup failed: " + FailureReason(std::current_exception()));
        }
        return std::nullopt;
    }

    void InputDesktop() {
        const platform::InputDesktopFacts facts = s_.desktop.ReadInputDesktop();
        const auto reason = platform::WhyClicksCannotLand(facts);
        Add(u"input desktop", !reason,
            reason ? platform::NoInputDesktopMessage(*reason)
                   : u"clicks can land: session " + ToText(std::int64_t{facts.session}) +
                         u", desktop " + facts.inputDesktop);
    }

    // The bytes the run would fetch for this package. A file of the package's
    // name on disk is started instead, whatever the row holds.
    std::uint64_t StoredProgram(const SetupPackage& package, bool connected) {
        const std::u16string name = PackageLabel(package);
        const bool onDisk = s_.files.FileExists(package.file);
        const std::u16string reused =
            onDisk ? u"; a file of its name is present and is used instead" : u"";
        if (!connected) {
            Add(name, onDisk, u"not read: no connection" + reused);
            return 0;
        }
        try {
            const auto stored = ReadStoredProgram(s_.database(), package);
            if (stored.state == PackageFileState::Null) {
                Add(name, true, u"stored program is Null: the run skips it" + reused);
            } else if (stored.state == PackageFileState::Empty) {
                Add(name, onDisk,
                    u"stored program of length 0" +
                        (onDisk ? reused : u": the run would stop here"));
            } else {
                Add(name, true,
                    u"stored program " + ToText(static_cast<std::int64_t>(stored.bytes->size())) +
                        u" bytes, SHA-256 " + platform::Sha256Hex(s_.sha256, *stored.bytes) +
                        reused);
                return onDisk ? 0 : stored.bytes->size();
            }
        } catch (const std::exception&) {
            Add(name, onDisk, u"query failed: " + FailureReason(std::current_exception()) + reused);
        }
        return 0;
    }

    void RegistryKey(std::u16string_view path, std::u16string name) {
        const platform::KeyViews views = s_.registry.ProbeMachineKey(path);
        const ViewVerdict verdict = JudgeViews(views);
        Add(std::move(name), verdict != ViewVerdict::Fail,
            DescribeViews(views, u"present and writable"), verdict == ViewVerdict::Warn);
    }

    void InstallFolder() {
        const std::u16string name = u"install folder " + std::u16string(kInstallFolder);
        if (s_.files.DirectoryExists(kInstallFolder)) {
            const bool writable = s_.files.CanAddEntries(kInstallFolder);
            Add(name, writable, writable ? u"present and writable" : u"present but not writable");
        } else if (s_.files.GetAttributes(kInstallFolder)) {
            Add(name, false, u"a file of that name is in the way");
        } else {
            const bool creatable = s_.files.CanAddEntries(kInstallDrive);
            Add(name, creatable,
                creatable ? u"missing, can be created" : u"missing, cannot be created in C:\\");
        }
    }

    void FreeSpace(std::uint64_t needed) {
        const auto free = s_.files.FreeBytes(kInstallDrive);
        const std::u16string wanted = Mib(needed) + u" needed (packages to fetch plus 64 MiB)";
        Add(u"free space on drive C", free && *free >= needed,
            (free ? Mib(*free) + u" free, " : u"unknown, ") + wanted);
    }

    void ClientConfig(const std::optional<ServerRecord>& record) {
        if (!record) {
            Add(u"Orvitex.ini", false, u"not checked: no institution record");
            return;
        }
        const std::u16string source = ClientConfigSource(record->updatePath);
        const auto bytes = s_.files.ReadWholeFile(source);
        if (!bytes) {
            const auto unseen = UnseenDriveLetter(s_.files, record->updatePath);
            Add(u"Orvitex.ini", false, u"cannot read " + source + (unseen ? u": " + *unseen : u""));
            return;
        }
        Add(u"Orvitex.ini", true,
            u"readable at " + source + u", " + ToText(static_cast<std::int64_t>(bytes->size())) +
                u" bytes");
    }

    PreflightServices& s_;
    std::vector<CheckResult> results_;
};

}  // namespace

std::vector<CheckResult> RunPreflight(PreflightServices& services, std::u16string_view code) {
    return Preflight(services).Go(code);
}

std::u16string CheckLine(const CheckResult& result) {
    const std::u16string_view status = !result.passed   ? u"FAIL "
                                       : result.warning ? u"warn "
                                                        : u"ok   ";
    return std::u16string(status) + result.name + u": " + result.detail;
}

}  // namespace orvitex::install
