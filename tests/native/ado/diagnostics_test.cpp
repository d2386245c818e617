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
        DiagRecord shown;  // the state and text the error carries
    } cases[] = {
        {"statement rejected",
         {{u"42S02", 208, u"No x."}, {u"42000", 8180, u"Unprepared."}},
         false,
         kProviderError,
         {u"42S02", 0, u"No x.\nUnprepared."}},
        {"link failure after a warning",
         {{u"01000", 0, u"note"}, {u"08S01", 0, u"link"}},
         false,
         kEFail,
         {u"08S01", 0, u"link"}},
        {"server-specific state on a dead link", {{u"57P01", 0, u"ended"}}, true, kEFail, {}},
        {"server shut the session down", {{u"57P01", 0, u"down"}}, false, kEFail, {}},
        {"a cancelled query is not a lost link",
         {{u"57014", 0, u"cancel"}},
         false,
         kProviderError,
         {}},
        {"only warnings", {{u"01004", 0, u"cut"}}, false, kProviderError, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Error error = odbc::MakeError(c.records, u"ADODB.Command", c.linkLost);
        const DiagRecord& shown = c.shown.sqlState.empty() ? c.records[0] : c.shown;
        EXPECT_EQ(error.Number(), c.number);
        EXPECT_EQ(error.SqlState(), shown.sqlState);
        EXPECT_EQ(error.Description(), shown.message);
        EXPECT_EQ(error.Source(), u"ADODB.Command");
    }
    const Error none = odbc::MakeError({}, u"ADODB.Connection");
    EXPECT_EQ(none.Number(), kProviderError);
    EXPECT_FALSE(none.Description().empty());
}

}  // namespace
