// An ADO Connection is one ODBC connection handle. The OLE DB string is parsed
// when set and mapped to an ODBC string only in Open, so a bad string fails
// there, as a provider would. Every statement gets its own ODBC statement
// handle and is read whole into a client-side recordset. Transactions switch
// autocommit off until SQLEndTran. A failed call whose diagnostics show the
// link gone (SQLSTATE class 08, a server-ended session, or a driver that calls
// the connection dead) raises Disconnect once, before E_FAIL is thrown.
#include "db/ado/Connection.h"

#ifndef _WIN32
#include <locale.h>
#endif

#include "db/ado/ConnectionString.h"
#include "db/ado/Odbc.h"
#include "db/ado/Statement.h"
#include "db/ado/Throw.h"

namespace orvitex::ado {

namespace {

constexpr char16_t kSource[] = u"ADODB.Connection";

#ifndef _WIN32
// unixODBC converts wide text for drivers without wide entry points (the SQLite
// one among them) with the codeset of the calling thread's locale when the
// connection handle is allocated; in the default "C" locale Hangul turns to garbage.
class Utf8CodesetScope {
public:
    Utf8CodesetScope() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {
        if (utf8_)
            previous_ = uselocale(utf8_);
    }
    ~Utf8CodesetScope() {
        if (utf8_) {
            uselocale(previous_);
            freelocale(utf8_);
        }
    }
    Utf8CodesetScope(const Utf8CodesetScope&) = delete;
    Utf8CodesetScope& operator=(const Utf8CodesetScope&) = delete;

private:
    locale_t utf8_;
    locale_t previous_ = locale_t{};
};
#else
struct [[maybe_unused]] Utf8CodesetScope {};  // odbc32 takes UTF-16 as it is
#endif

class ConnectionImpl final : public Connection {
public:
    explicit ConnectionImpl(std::shared_ptr<Environment> environment)
        : environment_(std::move(environment)) {}
    ~ConnectionImpl() override { Release(); }

    void SetEvents(ConnectionEvents* sink) override { events_ = sink; }

    std::int32_t CursorLocation() const override { return cursorLocation_; }
    void SetCursorLocation(std::int32_t location) override {
        if (location != adUseServer && location != adUseClient)
            detail::Throw(detail::Failure::InvalidArgument, kSource);
        cursorLocation_ = location;
    }
    std::u16string ConnectionString() const override {
        return parsed_.error.empty() ? detail::RenderOleDb(parsed_.properties) : rawString_;
    }
    void SetConnectionString(std::u16string_view text) override {
        if (dbc_)
            detail::Throw(detail::Failure::Open, kSource);
        rawString_ = text;
        parsed_ = detail::ParseOleDb(text);
    }
    std::int32_t ConnectionTimeout() const override { return connectionTimeout_; }
    void SetConnectionTimeout(std::int32_t seconds) override {
        if (dbc_)
            detail::Throw(detail::Failure::Open, kSource);
        connectionTimeout_ = NonNegative(seconds);
    }
    std::int32_t CommandTimeout() const override { return commandTimeout_; }
    void SetCommandTimeout(std::int32_t seconds) override {
        commandTimeout_ = NonNegative(seconds);
    }
    std::int32_t State() const override { return dbc_ ? adStateOpen : adStateClosed; }

    void Open(std::u16string_view connectionString, std::u16string_view userId,
              std::u16string_view password, std::int32_t options) override;
    void Close() override;
    std::shared_ptr<Recordset> Execute(std::u16string_view commandText,
                                       std::int32_t* recordsAffected,
                                       std::int32_t options) override;

    std::int32_t BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;

    void* NativeHandle() const override { return dbc_.Get(); }
    [[noreturn]] void ThrowOdbcError(std::int16_t handleType, void* handle,
                                     std::u16string_view source) override;

private:
    // ODBC reads 0 as "wait forever"; a negative time-out must never become that.
    static std::int32_t NonNegative(std::int32_t seconds) {
        if (seconds < 0)
            detail::Throw(detail::Failure::InvalidArgument, kSource);
        return seconds;
    }
    void RequireOpen() const {
        if (!dbc_)
            detail::Throw(detail::Failure::Closed, kSource);
    }
    [[nodiscard]] detail::HandleCheck OnLink() {
        return {*this, SQL_HANDLE_DBC, dbc_.Get(), kSource};
    }
    [[nodiscard]] odbc::DbcHandle Connect(const std::u16string& odbcString);
    void SetAutocommit(bool on);
    [[nodiscard]] bool IsConnectionDead() const;
    void NotifyConnectComplete(const Error* error, std::int32_t status);
    void NotifyDisconnect();
    void Release() noexcept;

    std::shared_ptr<Environment> environment_;
    ConnectionEvents* events_ = nullptr;
    std::int32_t cursorLocation_ = adUseServer;
    std::u16string rawString_;
    detail::ParsedConnectionString parsed_;
    std::int32_t connectionTimeout_ = 15;
    std::int32_t commandTimeout_ = 30;
    odbc::DbcHandle dbc_;
    bool inTransaction_ = false;
    bool linkLost_ = false;
};

void ConnectionImpl::Open(std::u16string_view connectionString, std::u16string_view userId,
                          std::u16string_view password, std::int32_t /*options*/) {
    if (dbc_)
        detail::Throw(detail::Failure::Open, kSource);
    if (!connectionString.empty())
        SetConnectionString(connectionString);
    try {
        if (!parsed_.error.empty())
            throw Error(kInitStringFormat, kSource, parsed_.error);
        const auto odbcString =
            detail::MapToOdbc(parsed_.properties, environment_->Drivers(), userId, password);
        dbc_ = Connect(odbcString);
    } catch (const Error& error) {
        NotifyConnectComplete(&error, adStatusErrorsOccurred);
        throw;
    }
    inTransaction_ = false;
    linkLost_ = false;
    NotifyConnectComplete(nullptr, adStatusOK);
}

odbc::DbcHandle ConnectionImpl::Connect(const std::u16string& odbcString) {
    SQLHANDLE raw = SQL_NULL_HANDLE;
    SQLRETURN allocated;
    {
        [[maybe_unused]] const Utf8CodesetScope codeset;
        allocated = SQLAllocHandle(SQL_HANDLE_DBC, environment_->NativeHandle(), &raw);
    }
    if (!SQL_SUCCEEDED(allocated)) {
        throw odbc::MakeError(odbc::ReadDiagnostics(SQL_HANDLE_ENV, environment_->NativeHandle()),
                              kSource);
    }
    odbc::DbcHandle dbc(raw);
    // Not every driver honours a login time-out; that is no reason to refuse the connection.
    (void)SQLSetConnectAttrW(dbc.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                             reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(connectionTimeout_)),
                             SQL_IS_UINTEGER);
    std::u16string text = odbcString;
    std::vector<SQLWCHAR> completed(2048);
    SQLSMALLINT completedLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(dbc.Get(), nullptr, odbc::Wide(text),
                                           static_cast<SQLSMALLINT>(text.size()), completed.data(),
                                           static_cast<SQLSMALLINT>(completed.size()),
                                           &completedLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        throw odbc::MakeError(odbc::ReadDiagnostics(SQL_HANDLE_DBC, dbc.Get()), kSource);
    }
    return dbc;
}

void ConnectionImpl::Close() {
    RequireOpen();
    Release();
    NotifyDisconnect();
}

void ConnectionImpl::Release() noexcept {
    if (!dbc_)
        return;
    if (inTransaction_) {
        // Closing must never commit half a unit of work.
        (void)SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_ROLLBACK);
        inTransaction_ = false;
    }
    (void)SQLDisconnect(dbc_.Get());
    dbc_.Reset();
}

std::shared_ptr<Recordset> ConnectionImpl::Execute(std::u16string_view commandText,
                                                   std::int32_t* recordsAffected,
                                                   std::int32_t options) {
    RequireOpen();
    std::u16string text = detail::CommandText(commandText, options);
    const bool noRecords = options != adCmdUnspecified && (options & adExecuteNoRecords);
    auto result = detail::RunStatement(*this, {.text = text,
                                               .parameters = nullptr,
                                               .prepare = false,
                                               .wantRows = !noRecords,
                                               .source = kSource});
    if (recordsAffected)
        *recordsAffected = result.recordsAffected;
    if (!result.rows)
        return Recordset::Create();
    return detail::MakeOpenRecordset(shared_from_this(), std::move(text), std::move(*result.rows));
}

void ConnectionImpl::SetAutocommit(bool on) {
    const SQLRETURN rc = SQLSetConnectAttrW(dbc_.Get(), SQL_ATTR_AUTOCOMMIT,
                                            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(
                                                on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
                                            SQL_IS_UINTEGER);
    OnLink()(rc);
}

std::int32_t ConnectionImpl::BeginTrans() {
    RequireOpen();
    if (inTransaction_) {
        throw Error(kProviderError, kSource,
                    u"Only one transaction can be active on this session.");
    }
    SetAutocommit(false);
    inTransaction_ = true;
    return 1;
}

void ConnectionImpl::CommitTrans() {
    RequireOpen();
    if (!inTransaction_)
        detail::Throw(detail::Failure::NoTransaction, kSource);
    // A failed commit leaves the transaction for RollbackTrans to end.
    OnLink()(SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_COMMIT));
    inTransaction_ = false;
    // The data is committed whatever follows. A link that cannot switch auto-commit back on
    // is lost: it is closed, so that no later statement waits for a commit that never comes.
    const SQLRETURN rc =
        SQLSetConnectAttrW(dbc_.Get(), SQL_ATTR_AUTOCOMMIT,
                           reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), SQL_IS_UINTEGER);
    if (!SQL_SUCCEEDED(rc)) {
        Release();
        if (!std::exchange(linkLost_, true))
            NotifyDisconnect();
    }
}

void ConnectionImpl::RollbackTrans() {
    RequireOpen();
    if (!inTransaction_)
        detail::Throw(detail::Failure::NoTransaction, kSource);
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_.Get(), SQL_ROLLBACK);
    if (!SQL_SUCCEEDED(rc)) {
        // Switching auto-commit back on would commit what was to be undone: the link is
        // given up instead, which a server answers by rolling back.
        auto records = odbc::ReadDiagnostics(SQL_HANDLE_DBC, dbc_.Get());
        Release();
        if (!std::exchange(linkLost_, true))
            NotifyDisconnect();
        throw odbc::MakeError(records, kSource, true);
    }
    inTransaction_ = false;
    SetAutocommit(true);
}

void ConnectionImpl::ThrowOdbcError(std::int16_t handleType, void* handle,
                                    std::u16string_view source) {
    auto records = odbc::ReadDiagnostics(handleType, handle);
    const bool lost = dbc_ && (odbc::IsLinkFailure(records) || IsConnectionDead());
    if (lost && !linkLost_) {
        linkLost_ = true;
        NotifyDisconnect();
    }
    throw odbc::MakeError(records, source, lost);
}

// Some servers end a session with a state of their own (PostgreSQL's 57P01 on
// shutdown); the driver still knows the link is gone.
bool ConnectionImpl::IsConnectionDead() const {
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN rc =
        SQLGetConnectAttrW(dbc_.Get(), SQL_ATTR_CONNECTION_DEAD, &dead, SQL_IS_UINTEGER, nullptr);
    return SQL_SUCCEEDED(rc) && dead == SQL_CD_TRUE;
}

void ConnectionImpl::NotifyConnectComplete(const Error* error, std::int32_t status) {
    if (!events_)
        return;
    auto keepAlive = weak_from_this().lock();
    events_->ConnectComplete(error, status, *this);
}

void ConnectionImpl::NotifyDisconnect() {
    if (!events_)
        return;
    auto keepAlive = weak_from_this().lock();
    events_->Disconnect(adStatusOK, *this);
}

}  // namespace

std::shared_ptr<Connection> Connection::Create(std::shared_ptr<Environment> environment) {
    if (!environment)
        environment = Environment::Create();
    return std::make_shared<ConnectionImpl>(std::move(environment));
}

}  // namespace orvitex::ado
