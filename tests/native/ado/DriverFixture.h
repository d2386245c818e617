#pragma once
// One fixture for every behaviour test, run once per ODBC driver, so that a
// driver difference shows as one failing row.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "db/ado/Command.h"
#include "db/ado/Connection.h"
#include "db/ado/Recordset.h"
#include "platform/Text.h"
#include "support/PostgresServer.h"
#include "support/SqliteDatabase.h"

namespace orvitex::ado {

// Readable failure messages for values.
inline void PrintTo(const Variant& value, std::ostream* out) {
    static const char* const kinds[] = {"Empty",  "Null",    "Boolean", "Int32", "Int64",
                                        "Double", "Decimal", "Date",    "Text",  "Bytes"};
    *out << kinds[static_cast<int>(value.GetKind())];
    if (value.GetKind() == Variant::Kind::Bytes) {
        *out << "[" << value.ToBytes()->size() << " bytes]";
    } else if (!value.IsNull()) {
        *out << " " << ToUtf8(value.ToText());
    }
}

}  // namespace orvitex::ado

namespace orvitex::ado::testing {

// Column types each server spells its own way.
struct Dialect {
    const char16_t* blob;
    const char16_t* floating;
    const char16_t* timestamp;
};

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
            dialect_ = {u"BYTEA", u"DOUBLE PRECISION", u"TIMESTAMP"};
        } else {
            sqlite_ = std::make_unique<orvitex::testing::SqliteDatabase>();
            connectionString_ = sqlite_->ConnectionString();
            dialect_ = {u"BLOB", u"DOUBLE", u"TIMESTAMP"};
        }
        environment_ = Environment::Create();
        connection_ = Connection::Create(environment_);
        connection_->SetEvents(&events_);
        connection_->Open(connectionString_);
    }
    void TearDown() override {
        if (connection_)
            connection_->SetEvents(nullptr);
    }

    std::shared_ptr<Connection> NewConnection() {
        auto connection = Connection::Create(environment_);
        connection->Open(connectionString_);
        return connection;
    }
    std::int32_t Exec(const std::u16string& sql) {
        std::int32_t affected = 0;
        (void)connection_->Execute(sql, &affected);
        return affected;
    }
    std::shared_ptr<Recordset> Query(const std::u16string& sql,
                                     std::int32_t lockType = adLockReadOnly) {
        auto recordset = Recordset::Create();
        recordset->SetCursorLocation(adUseClient);
        recordset->Open(sql, connection_, adOpenForwardOnly, lockType, adCmdUnspecified);
        return recordset;
    }
    std::u16string D(const char16_t* text) const { return text; }

    std::unique_ptr<orvitex::testing::SqliteDatabase> sqlite_;
    std::u16string connectionString_;
    Dialect dialect_{};
    std::shared_ptr<Environment> environment_;
    std::shared_ptr<Connection> connection_;
    RecordingEvents events_;
};

inline Bytes Pattern(std::size_t size, unsigned seed = 1) {
    Bytes bytes(size);
    std::uint32_t state = seed;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::byte>(state >> 16);
    }
    return bytes;
}

}  // namespace orvitex::ado::testing
