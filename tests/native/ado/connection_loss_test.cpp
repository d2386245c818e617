#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "DriverFixture.h"
#include "db/ado/Error.h"
#include "db/ado/Odbc.h"

namespace {

using namespace orvitex::ado;
using odbc::DiagRecord;
using orvitex::ado::testing::ErrorNumberOf;
using orvitex::ado::testing::RecordingEvents;
using orvitex::testing::PostgresServer;

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
        {"any state on a link the driver calls dead", {{u"HY000", 0, u"x"}}, true, kEFail, {}},
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
        EXPECT_EQ(error.Diagnostics(), c.records);  // warnings too, in the driver's order
    }
    const Error none = odbc::MakeError({}, u"ADODB.Connection");
    EXPECT_EQ(none.Number(), kProviderError);
    EXPECT_FALSE(none.Description().empty());
}

// ODBC reads 0 as "wait forever"; a negative command time-out must not become it (the
// connection time-out's side is a row of the class's login time-out table).
TEST(Timeouts, ANegativeCommandTimeoutIsRefusedAndZeroIsKept) {
    auto connection = Connection::Create(Environment::Create());
    connection->SetCommandTimeout(7);
    EXPECT_EQ(ErrorNumberOf([&] { connection->SetCommandTimeout(-1); }), adErrInvalidArgument);
    EXPECT_EQ(connection->CommandTimeout(), 7);
    connection->SetCommandTimeout(0);
    EXPECT_EQ(connection->CommandTimeout(), 0);
}

TEST(Timeouts, ConnectionTimeoutEndsALoginTheServerNeverAnswers) {
    // A loopback port that accepts TCP connections and never says a word.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool listening =
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(listener, 4) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    auto connection = Connection::Create(Environment::Create());
    connection->SetConnectionTimeout(1);
    if (listening) {
        EXPECT_EQ(ErrorNumberOf([&] {
                      connection->Open(u"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" +
                                       orvitex::ToText(std::int64_t{ntohs(address.sin_port)}) +
                                       u";Database=x;UID=postgres");
                  }),
                  kEFail);
    }
    close(listener);
    ASSERT_TRUE(listening);
    EXPECT_EQ(connection->State(), adStateClosed);
}

TEST(Timeouts, CommandTimeoutCancelsAQueryWithoutLosingTheLink) {
    auto& server = PostgresServer::Shared();
    if (!server.Running())
        GTEST_SKIP() << server.Problem();
    RecordingEvents events;
    auto connection = Connection::Create(Environment::Create());
    connection->SetEvents(&events);
    connection->Open(server.ConnectionString());
    connection->SetCommandTimeout(1);
    EXPECT_EQ(ErrorNumberOf([&] { (void)connection->Execute(u"SELECT pg_sleep(30)"); }),
              kProviderError);
    EXPECT_TRUE(events.disconnects.empty());
    EXPECT_EQ(connection->Execute(u"SELECT 4")->GetFields()[0].Value().ToInt32(), 4);
}

}  // namespace
