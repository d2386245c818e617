#include <gtest/gtest.h>

#include "db/ado/Odbc.h"
#include "platform/Text.h"

namespace {

using namespace orvitex::ado;
using odbc::DiagRecord;

TEST(Diagnostics, ChainBecomesOneErrorWithTheRightNumber) {
    const struct {
        const char* name;
        std::vector<DiagRecord> records;
        bool linkLost;
        std::int32_t number;
        const char16_t* state;
        const char16_t* description;
    } cases[] = {
        {"statement rejected",
         {{u"42S02", 208, u"Invalid object name 'x'."}, {u"42000", 8180, u"Not prepared."}},
         false,
         kProviderError,
         u"42S02",
         u"Invalid object name 'x'.\nNot prepared."},
        {"link failure after a warning",
         {{u"01000", 0, u"note"}, {u"08S01", 0, u"Communication link failure"}},
         false,
         kEFail,
         u"08S01",
         u"Communication link failure"},
        {"server-specific state on a dead link",
         {{u"57P01", 0, u"terminating connection"}},
         true,
         kEFail,
         u"57P01",
         u"terminating connection"},
        {"server shut the session down",
         {{u"57P01", 0, u"The connection is down"}},
         false,
         kEFail,
         u"57P01",
         u"The connection is down"},
        {"a cancelled query is not a lost link",
         {{u"57014", 0, u"canceling statement"}},
         false,
         kProviderError,
         u"57014",
         u"canceling statement"},
        {"only warnings",
         {{u"01004", 0, u"truncated"}},
         false,
         kProviderError,
         u"01004",
         u"truncated"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Error error = odbc::MakeError(c.records, u"ADODB.Command", c.linkLost);
        EXPECT_EQ(error.Number(), c.number);
        EXPECT_EQ(error.SqlState(), c.state);
        EXPECT_EQ(error.Description(), c.description);
        EXPECT_EQ(error.Source(), u"ADODB.Command");
    }
}

TEST(Diagnostics, FailureWithoutRecordsStillHasADescription) {
    const Error error = odbc::MakeError({}, u"ADODB.Connection");
    EXPECT_EQ(error.Number(), kProviderError);
    EXPECT_FALSE(error.Description().empty());
}

}  // namespace
