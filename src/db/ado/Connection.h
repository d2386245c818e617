#pragma once
// An ADO-shaped Connection over ODBC.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "db/ado/Constants.h"
#include "db/ado/Environment.h"
#include "db/ado/Error.h"

namespace orvitex::ado {

class Recordset;
class Connection;

// The notifications of a connection, delivered synchronously on the calling
// thread: ConnectComplete inside Open (error is null on success), Disconnect
// inside Close and whenever the layer finds the link to the server lost
// (an ODBC SQLSTATE of class 08). The connection keeps only a non-owning
// pointer: the sink must outlive it or detach with SetEvents(nullptr).
class ConnectionEvents {
public:
    virtual ~ConnectionEvents() = default;
    virtual void ConnectComplete(const Error* error, std::int32_t status,
                                 Connection& connection) = 0;
    virtual void Disconnect(std::int32_t status, Connection& connection) = 0;
};

class Connection : public std::enable_shared_from_this<Connection> {
public:
    static std::shared_ptr<Connection> Create(std::shared_ptr<Environment> environment);
    virtual ~Connection() = default;

    virtual void SetEvents(ConnectionEvents* sink) = 0;

    virtual std::int32_t CursorLocation() const = 0;
    virtual void SetCursorLocation(std::int32_t location) = 0;
    // Setting parses an OLE DB string (Key='value'; ...); reading gives the
    // layer's own rendering of it. A string that cannot be parsed fails on Open.
    virtual std::u16string ConnectionString() const = 0;
    virtual void SetConnectionString(std::u16string_view text) = 0;
    virtual std::int32_t ConnectionTimeout() const = 0;  // seconds: the ODBC login time-out
    virtual void SetConnectionTimeout(std::int32_t seconds) = 0;
    virtual std::int32_t CommandTimeout() const = 0;  // seconds: the ODBC query time-out
    virtual void SetCommandTimeout(std::int32_t seconds) = 0;
    virtual std::int32_t State() const = 0;  // adStateClosed or adStateOpen

    // An empty connection string uses the one already set. Throws ado::Error.
    virtual void Open(std::u16string_view connectionString = {}, std::u16string_view userId = {},
                      std::u16string_view password = {},
                      std::int32_t options = adConnectUnspecified) = 0;
    virtual void Close() = 0;

    // Runs one statement. recordsAffected, when given, receives the provider's
    // count (-1 when it reports none). Returns the rows of a row-returning
    // statement as a client-side recordset, or a closed recordset otherwise.
    virtual std::shared_ptr<Recordset> Execute(std::u16string_view commandText,
                                               std::int32_t* recordsAffected = nullptr,
                                               std::int32_t options = adCmdUnspecified) = 0;

    virtual std::int32_t BeginTrans() = 0;  // the nesting level
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;

    // The native SQLHDBC, for the layer's own objects; null when closed.
    virtual void* NativeHandle() const = 0;
    // Translates a failed ODBC call on a handle of this connection into an
    // ado::Error, raising Disconnect first when the link is lost. [[noreturn]].
    [[noreturn]] virtual void ThrowOdbcError(std::int16_t handleType, void* handle,
                                             std::u16string_view source) = 0;
};

}  // namespace orvitex::ado
