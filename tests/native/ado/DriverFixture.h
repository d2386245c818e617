#pragma once
// One fixture for every behaviour test, run once per ODBC driver, so that a
// driver difference shows as one failing row.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "db/ado/Command.h"
#include "db/ado/Connection.h"
#include "db/ado/Error.h"
#include "db/ado/Recordset.h"
#include "platform/Text.h"
#include "support/PostgresServer.h"
#include "support/SqliteDatabase.h"

namespace orvitex::ado::testing {

class RecordingEvents : public ConnectionEvents {
public:
    void ConnectComplete(const Error* error, std::int32_t status, Connection&) override {
        completes.push_back({error ? error->Number() : 0, status});
    }
    void Disconnect(std::int32_t status, Connection&) override { disconnects.push_back(status); }

    std::vector<std::pair<std::int32_t, std::int32_t>> completes;  // error number, status
    std::vector<std::int32_t> disconnects;
};

class DriverTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "PostgreSQL") {
            auto& server = orvitex::testing::PostgresServer::Shared();
            if (!server.Running())
                GTEST_SKIP() << server.Problem();
            connectionString_ = server.ConnectionString(server.CreateDatabase());
            blob_ = u"BYTEA";
        } else {
            sqlite_ = std::make_unique<orvitex::testing::SqliteDatabase>();
            connectionString_ = sqlite_->ConnectionString();
            blob_ = u"BLOB";
        }
        environment_ = Environment::Create();
        connection_ = Connection::Create(environment_);
        connection_->SetEvents(&events_);
        connection_->Open(connectionString_);
    }
    std::shared_ptr<Connection> NewConnection() {
        auto connection = Connection::Create(environment_);
        connection->Open(connectionString_);
        return connection;
    }
    void Exec(const std::u16string& sql) { (void)connection_->Execute(sql); }
    std::shared_ptr<Recordset> Query(const std::u16string& sql,
                                     std::int32_t lockType = adLockReadOnly) {
        auto recordset = Recordset::Create();
        recordset->SetCursorLocation(adUseClient);
        recordset->Open(sql, connection_, adOpenForwardOnly, lockType, adCmdUnspecified);
        return recordset;
    }
    // The first column of the first row.
    Variant Scalar(const std::u16string& sql) { return Query(sql)->GetFields()[0].Value(); }
    std::shared_ptr<Command> CommandFor(const std::u16string& sql) {
        auto command = Command::Create();
        command->SetActiveConnection(connection_);
        command->SetCommandText(sql);
        return command;
    }

    // Table t: one row per size, its id the index, a text of that many '가' and Pattern bytes.
    void CreateLongValues(std::span<const std::size_t> sizes);

    std::unique_ptr<orvitex::testing::SqliteDatabase> sqlite_;
    std::u16string connectionString_;
    std::u16string blob_;     // each server spells its binary column its own way
    RecordingEvents events_;  // outlives the connection reporting to it
    std::shared_ptr<Environment> environment_;
    std::shared_ptr<Connection> connection_;
};

// The number of the ado::Error the action throws, or 0 when it throws none.
inline std::int32_t ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.Number();
    }
    return 0;
}

inline Bytes Pattern(std::size_t size, unsigned seed = 1) {
    Bytes bytes(size);
    std::uint32_t state = seed;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::byte>(state >> 16);
    }
    return bytes;
}

inline void DriverTest::CreateLongValues(std::span<const std::size_t> sizes) {
    Exec(u"CREATE TABLE t (id INTEGER, body TEXT, data " + blob_ + u")");
    auto command = CommandFor(u"INSERT INTO t VALUES (?, ?, ?)");
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::vector<Variant> values = {Variant(static_cast<std::int32_t>(i)),
                                             Variant(std::u16string(sizes[i], u'가')),
                                             Variant(Pattern(sizes[i]))};
        (void)command->Execute(nullptr, &values);
    }
}

}  // namespace orvitex::ado::testing
