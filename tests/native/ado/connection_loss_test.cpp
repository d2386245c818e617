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

// The server really goes away under open connections, and comes back.
TEST(ConnectionLoss, StoppedServerIsEFailWithOneDisconnectAndReopenWorksAfterRestart) {
    auto& server = PostgresServer::Shared();
    if (!server.Running())
        GTEST_SKIP() << server.Problem();
    const auto connectionString = server.ConnectionString(server.CreateDatabase());
    auto environment = Environment::Create();
    RecordingEvents events, idleEvents, earlyEvents;
    auto connection = Connection::Create(environment);
    connection->SetEvents(&events);
    connection->Open(connectionString);
    (void)connection->Execute(u"CREATE TABLE t (id INTEGER)");
    auto idle = Connection::Create(environment);  // learns of the loss on its first statement
    idle->SetEvents(&idleEvents);
    idle->Open(connectionString);

    server.Stop();
    EXPECT_EQ(ErrorNumberOf([&] { (void)idle->Execute(u"SELECT 1"); }), kEFail);
    EXPECT_EQ(idleEvents.disconnects.size(), 1u);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(ErrorNumberOf([&] { (void)connection->Execute(u"SELECT id FROM t"); }), kEFail);
    }
    EXPECT_EQ(events.disconnects, std::vector<std::int32_t>{adStatusOK});  // once, not per failure
    auto early = Connection::Create(environment);
    early->SetEvents(&earlyEvents);
    EXPECT_EQ(ErrorNumberOf([&] { early->Open(connectionString); }), kEFail);
    EXPECT_EQ(earlyEvents.completes,
              (decltype(earlyEvents.completes){{kEFail, adStatusErrorsOccurred}}));
    EXPECT_EQ(early->State(), adStateClosed);

    server.Start();
    ASSERT_TRUE(server.Running()) << server.Problem();
    connection->Close();  // the lost connection can still be closed, and reopened
    connection->Open();
    (void)connection->Execute(u"INSERT INTO t VALUES (5)");
    EXPECT_EQ(connection->Execute(u"SELECT id FROM t")->GetFields()[0].Value().ToInt32(), 5);
}

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

// ODBC reads a time-out of 0 as "wait forever"; a negative one must not become it.
TEST(Timeouts, NegativeTimeoutsAreRefusedAndZeroIsKept) {
    auto connection = Connection::Create(Environment::Create());
    const struct {
        const char* name;
        void (Connection::*set)(std::int32_t);
        std::int32_t (Connection::*get)() const;
    } setters[] = {
        {"connection", &Connection::SetConnectionTimeout, &Connection::ConnectionTimeout},
        {"command", &Connection::SetCommandTimeout, &Connection::CommandTimeout}};
    for (const auto& s : setters) {
        SCOPED_TRACE(s.name);
        ((*connection).*s.set)(7);
        EXPECT_EQ(ErrorNumberOf([&] { ((*connection).*s.set)(-1); }), adErrInvalidArgument);
        EXPECT_EQ(((*connection).*s.get)(), 7);
        ((*connection).*s.set)(0);
        EXPECT_EQ(((*connection).*s.get)(), 0);
    }
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
