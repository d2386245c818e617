#include "startup/CommandLine.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "install/CentralDb.h"
#include "platform/Text.h"

namespace orvitex::startup {
namespace {

using Slot = std::optional<std::u16string> Options::*;
struct ValueOption {
    std::u16string_view name;
    Slot slot;
    std::size_t longest;  // a longer value is a mistake, not a name or a path
};
constexpr std::size_t kLongestPath = 32767;  // the longest path Windows takes
constexpr std::size_t kLongestName = 255;    // a host or driver name
constexpr std::array<ValueOption, 7> kValueOptions{{
    {u"--central-db", &Options::centralDb, kLongestPath},
    {u"--central-odbc", &Options::centralOdbc, 4096},
    {u"--main-server", &Options::mainServer, kLongestName},
    {u"--sql-driver", &Options::sqlDriver, kLongestName},
    {u"--code", &Options::code, 4096},
    {u"--log", &Options::log, kLongestPath},
    {u"--report", &Options::report, kLongestPath},
}};

struct FlagOption {
    std::u16string_view name;
    bool Options::*flag;
};
constexpr std::array<FlagOption, 4> kFlags{{
    {u"--check", &Options::check},
    {u"--run", &Options::run},
    {u"--quiet", &Options::quiet},
    {u"--help", &Options::help},
}};

// A wait longer than a day is a typing error, not a slow wizard.
constexpr std::chrono::seconds kLongestWait = std::chrono::hours(24);

std::optional<std::chrono::seconds> WholeSeconds(std::u16string_view text) {
    std::int64_t seconds = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9' || seconds > kLongestWait.count()) {
            return std::nullopt;
        }
        seconds = seconds * 10 + (c - u'0');
    }
    if (text.empty() || seconds < 1 || seconds > kLongestWait.count()) {
        return std::nullopt;
    }
    return std::chrono::seconds(seconds);
}

std::u16string Validate(const Options& o) {
    if (o.centralDb && !install::CentralDbConnectionString(*o.centralDb)) {
        return u"--central-db: the path must not be empty or hold ';', '{' or '}'";
    }
    if (o.centralOdbc && !install::CentralOdbcConnectionString(*o.centralOdbc)) {
        return u"--central-odbc: not a DSN-less ODBC connection string with a Driver";
    }
    if (o.centralDb && o.centralOdbc) {
        return u"--central-db and --central-odbc exclude each other: one central database";
    }
    if (o.check && o.run) {
        return u"--check and --run exclude each other: a check changes nothing";
    }
    for (const auto* value : {&o.mainServer, &o.sqlDriver, &o.log, &o.report}) {
        if (*value && (*value)->empty()) {
            return u"an option was given an empty value";
        }
    }
    return {};
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::u16string> args) {
    ParsedCommandLine result;
    Options& o = result.options;
    std::vector<std::u16string_view> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::u16string_view arg = args[i];
        const auto eq = arg.find(u'=');
        const std::u16string_view name = arg.substr(0, eq);
        // Two values for one setting: which one was meant cannot be known.
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            result.error = std::u16string(name) + u" is given more than once";
            return result;
        }
        seen.push_back(name);
        bool known = false;
        for (const auto& f : kFlags) {
            if (name == f.name && eq == std::u16string_view::npos) {
                o.*(f.flag) = true;
                known = true;
            }
        }
        const auto takeValue = [&]() -> std::optional<std::u16string> {
            if (eq != std::u16string_view::npos) {
                return std::u16string(arg.substr(eq + 1));
            }
            if (i + 1 < args.size()) {
                return args[++i];
            }
            return std::nullopt;
        };
        const auto option = std::find_if(kValueOptions.begin(), kValueOptions.end(),
                                         [&](const ValueOption& v) { return name == v.name; });
        const bool waitLimit = name == u"--wait-limit";
        if (option != kValueOptions.end() || waitLimit) {
            known = true;
            const auto value = takeValue();
            if (!value) {
                result.error = std::u16string(name) + u" needs a value";
                return result;
            }
            if (!waitLimit && value->size() > option->longest) {
                result.error = std::u16string(name) + u": the value is longer than " +
                               ToText(static_cast<std::int64_t>(option->longest)) + u" characters";
                return result;
            }
            if (!waitLimit) {
                o.*(option->slot) = *value;
            } else if (!(o.waitLimit = WholeSeconds(*value))) {
                result.error = u"--wait-limit: a whole number of seconds from 1 to 86400";
                return result;
            }
        }
        if (!known) {
            result.error = u"unknown option " + std::u16string(arg);
            return result;
        }
    }
    result.error = Validate(o);
    return result;
}

std::u16string UsageText() {
    return u"Usage: orvitex-setup [options]\n"
           u"With no option the program runs on its built-in settings.\n"
           u"  --central-db FILE   use a SQLite file as the central database\n"
           u"  --central-odbc TEXT use the ODBC connection string TEXT (Driver={...};...,\n"
           u"                      no DSN) for the central database\n"
           u"  --main-server ADDR  main server address instead of the built-in one\n"
           u"  --sql-driver NAME   ODBC driver that serves SQL Server connections\n"
           u"  --code CODE         fill the institution code box\n"
           u"  --run               press the run button once the window is shown\n"
           u"  --quiet             no message box waits: messages go to the log, the\n"
           u"                      program ends with its exit code\n"
           u"  --log FILE          write a log (UTF-8)\n"
           u"  --wait-limit SECONDS  longest wait for a setup wizard to change its\n"
           u"                      window (1 to 86400; default 600)\n"
           u"  --check             verify everything a run needs, change nothing, print\n"
           u"                      one line a check\n"
           u"  --report FILE       write what the run or check did as JSON\n"
           u"  --help              show this text\n"
           u"Exit codes: 0 complete (with --check: every check passed), 2 unknown\n"
           u"institution code, 3 stopped at an empty stored program, 4 main server\n"
           u"unreachable, 5 any other failure, 6 another copy is already running,\n"
           u"7 a check failed.\n";
}

}  // namespace orvitex::startup
