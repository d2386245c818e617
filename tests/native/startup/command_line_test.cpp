#include <gtest/gtest.h>

#include "platform/Text.h"
#include "startup/CommandLine.h"

namespace orvitex::startup {
namespace {

ParsedCommandLine Parse(std::vector<std::u16string> args) {
    return ParseCommandLine(args);
}

// The fuzz target proves that every accepted line writes out and parses back the
// same, the end-to-end start the usage text; here each option reaching its own
// field, and the limits on both sides.
TEST(CommandLine, ValuesSeparateOrJoined) {
    const auto parsed =
        Parse({u"--central-db", u"/srv/중앙 db.sqlite", u"--main-server=10.1.2.3", u"--sql-driver",
               u"SQL Server Native Client 11.0", u"--code", u"12345678", u"--log=C:\\로그.txt",
               u"--run", u"--quiet", u"--wait-limit", u"86400"});
    ASSERT_TRUE(parsed.error.empty()) << ToUtf8(parsed.error);
    const Options& o = parsed.options;
    EXPECT_EQ(o.centralDb, u"/srv/중앙 db.sqlite");
    EXPECT_EQ(o.mainServer, u"10.1.2.3");
    EXPECT_EQ(o.sqlDriver, u"SQL Server Native Client 11.0");
    EXPECT_EQ(o.code, u"12345678");
    EXPECT_EQ(o.log, u"C:\\로그.txt");
    EXPECT_TRUE(o.run && o.quiet && !o.help);
    EXPECT_EQ(o.waitLimit, std::chrono::hours(24));
    EXPECT_EQ(Parse({u"--wait-limit=1"}).options.waitLimit, std::chrono::seconds(1));
    EXPECT_EQ(Parse({u"--code="}).options.code, u"") << "an empty code is a code";
    EXPECT_TRUE(Parse({u"--main-server", std::u16string(255, u'a')}).error.empty());
    EXPECT_TRUE(Parse({u"--code", std::u16string(4096, u'1')}).error.empty());
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::u16string>> cases = {
        {u"--bogus"},
        {u"/quiet"},
        {u"--code"},
        {u"--run=yes"},
        {u"--central-db", u"a.db;Driver={Other}"},
        {u"--central-db="},
        {u"--log", u""},
        {u"--wait-limit", u"ten"},
        {u"--wait-limit=0"},
        {u"--wait-limit=86401"},
        {u"--wait-limit=99999999999999999999999"},
        {u"--code", u"1", u"--code=2"},
        {u"--run", u"--run"},
        {u"--main-server", std::u16string(256, u'a')},
        {u"--code", std::u16string(4097, u'1')},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(ToUtf8(args.front()) + (args.size() > 1 ? " " + ToUtf8(args[1]) : ""));
        EXPECT_FALSE(Parse(args).error.empty());
    }
}

}  // namespace
}  // namespace orvitex::startup
