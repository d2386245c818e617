#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "DriverFixture.h"
#include "ErrorNumber.h"
#include "db/ado/Error.h"

namespace {

using namespace orvitex::ado;
using orvitex::ToUtf8;
using orvitex::ado::testing::ErrorNumberOf;
using orvitex::testing::PostgresServer;

// The server really goes away under an open connection, and comes back.
TEST(ConnectionLoss, StoppedServerIsEFailWithOneDisconnectAndReopenWorksAfterRestart) {
    auto& server = PostgresServer::Shared();
    if (!server.Running())
        GTEST_SKIP() << server.Problem();
    const auto connectionString = server.ConnectionString(server.CreateDatabase());
    auto environment = Environment::Create();
    orvitex::ado::testing::RecordingEvents events;
    auto connection = Connection::Create(environment);
    connection->SetEvents(&events);
    connection->Open(connectionString);
    (void)connection->Execute(u"CREATE TABLE t (id INTEGER)");

    // A connection that never ran a statement learns of the loss on its first one.
    orvitex::ado::testing::RecordingEvents idleEvents;
    auto idle = Connection::Create(environment);
    idle->SetEvents(&idleEvents);
    idle->Open(connectionString);

    server.Stop();
    try {
        (void)idle->Execute(u"SELECT 1");
        ADD_FAILURE() << "the idle connection's query succeeded without a server";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), kEFail) << ToUtf8(error.Description());
    }
    EXPECT_EQ(idleEvents.disconnects.size(), 1u);
    idle->SetEvents(nullptr);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        try {
            (void)connection->Execute(u"SELECT id FROM t");
            ADD_FAILURE() << "the query succeeded without a server";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), kEFail) << ToUtf8(error.Description());
            EXPECT_FALSE(error.Description().empty());
        }
    }
    EXPECT_EQ(events.disconnects, std::vector<std::int32_t>{adStatusOK});  // once, not per failure

    // While the server is down a new connection fails to open, with E_FAIL.
    auto early = Connection::Create(environment);
    orvitex::ado::testing::RecordingEvents earlyEvents;
    early->SetEvents(&earlyEvents);
    try {
        early->Open(connectionString);
        ADD_FAILURE() << "opened without a server";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), kEFail) << ToUtf8(error.Description());
    }
    ASSERT_EQ(earlyEvents.completes.size(), 1u);
    EXPECT_EQ(earlyEvents.completes[0], std::make_pair(kEFail, adStatusErrorsOccurred));
    EXPECT_EQ(early->State(), adStateClosed);

    server.Start();
    ASSERT_TRUE(server.Running()) << server.Problem();
    auto fresh = Connection::Create(environment);
    fresh->Open(connectionString);
    (void)fresh->Execute(u"INSERT INTO t VALUES (5)");
    EXPECT_EQ(fresh->Execute(u"SELECT id FROM t")->GetFields()[0].Value().ToInt32(), 5);

    // The lost connection can still be closed, and reopened.
    connection->Close();
    connection->Open();
    EXPECT_EQ(connection->Execute(u"SELECT COUNT(*) FROM t")->GetFields()[0].Value().ToInt32(), 1);
    connection->SetEvents(nullptr);
}

// A loopback port that accepts TCP connections and never says a word.
class SilentListener {
public:
    SilentListener() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            listen(fd_, 4) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    ~SilentListener() {
        if (fd_ >= 0)
            close(fd_);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    std::uint16_t Port() const { return port_; }

private:
    int fd_;
    std::uint16_t port_ = 0;
};

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
    SilentListener listener;
    ASSERT_NE(listener.Port(), 0);
    auto connection = Connection::Create(Environment::Create());
    connection->SetConnectionTimeout(1);
    try {
        connection->Open(u"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" +
                         orvitex::ToText(std::int64_t{listener.Port()}) +
                         u";Database=x;UID=postgres");
        ADD_FAILURE() << "opened against a silent port";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), kEFail) << ToUtf8(error.Description());
    }
    EXPECT_EQ(connection->State(), adStateClosed);
}

TEST(Timeouts, CommandTimeoutCancelsAQueryWithoutLosingTheLink) {
    auto& server = PostgresServer::Shared();
    if (!server.Running())
        GTEST_SKIP() << server.Problem();
    orvitex::ado::testing::RecordingEvents events;
    auto connection = Connection::Create(Environment::Create());
    connection->SetEvents(&events);
    connection->Open(server.ConnectionString());
    connection->SetCommandTimeout(1);
    try {
        (void)connection->Execute(u"SELECT pg_sleep(30)");
        ADD_FAILURE() << "the query outlived its time-out";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), kProviderError) << ToUtf8(error.Description());
    }
    EXPECT_TRUE(events.disconnects.empty());
    EXPECT_EQ(connection->Execute(u"SELECT 4")->GetFields()[0].Value().ToInt32(), 4);
    connection->SetEvents(nullptr);
}

}  // namespace
