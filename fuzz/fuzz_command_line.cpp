// Input: the arguments, one a line (UTF-8). A command line either fails with a
// reason or yields options that are usable as they stand and that give the same
// options again when written out in either form ("--name value", "--name=value").
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "install/CentralDb.h"
#include "startup/CommandLine.h"

namespace {

using orvitex::fuzz::Require;
using orvitex::startup::Options;
using orvitex::startup::ParseCommandLine;

struct Named {
    const char16_t* name;
    const std::optional<std::u16string>* value;
};

std::vector<Named> Values(const Options& o) {
    return {{u"--central-db", &o.centralDb},
            {u"--main-server", &o.mainServer},
            {u"--sql-driver", &o.sqlDriver},
            {u"--code", &o.code},
            {u"--log", &o.log}};
}

std::vector<std::u16string> WrittenOut(const Options& o, bool joined) {
    std::vector<std::u16string> args;
    for (const auto& [name, value] : Values(o)) {
        if (!*value)
            continue;
        if (joined) {
            args.push_back(std::u16string(name) + u"=" + **value);
        } else {
            args.push_back(name);
            args.push_back(**value);
        }
    }
    for (const auto& [flag, set] : {std::pair{u"--run", o.run}, std::pair{u"--quiet", o.quiet},
                                    std::pair{u"--help", o.help}}) {
        if (set)
            args.push_back(flag);
    }
    return args;
}

bool Same(const Options& a, const Options& b) {
    return a.centralDb == b.centralDb && a.mainServer == b.mainServer &&
           a.sqlDriver == b.sqlDriver && a.code == b.code && a.log == b.log && a.run == b.run &&
           a.quiet == b.quiet && a.help == b.help;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::u16string text = orvitex::FromUtf8({reinterpret_cast<const char*>(bytes), size});
    std::vector<std::u16string> args;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find(u'\n', start), text.size());
        args.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    const auto parsed = ParseCommandLine(args);
    if (!parsed.error.empty())
        return 0;
    const Options& o = parsed.options;
    for (const auto* value : {&o.mainServer, &o.sqlDriver, &o.log})
        Require(!*value || !(*value)->empty(), "a path or name option is never empty");
    Require(!o.centralDb || orvitex::install::CentralDbConnectionString(*o.centralDb),
            "an accepted central database makes a connection string", o.centralDb.value_or(u""));
    for (const bool joined : {false, true}) {
        const auto again = ParseCommandLine(WrittenOut(o, joined));
        Require(
            again.error.empty() && Same(again.options, o),
            joined ? "--name=value gives the same options" : "--name value gives the same options",
            again.error);
    }
    return 0;
}
