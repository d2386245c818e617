#include <utility>

#include "db/ConnectionStrings.h"
#include "db/Required.h"
#include "db/clsDBMng.h"

namespace orvitex::db {
namespace {

constexpr std::int32_t kServerCommandTimeout = 300;
constexpr std::int32_t kFileCommandTimeout = 90;

// Puts the default pointer back on every way out, so that a failed connect
// never leaves the hourglass behind; sets the busy one first when asked.
class PointerRestore {
public:
    PointerRestore(platform::Ui& ui, bool busyNow) : ui_(ui) {
        if (busyNow)
            ui_.SetBusyPointer(true);
    }
    ~PointerRestore() { ui_.SetBusyPointer(false); }
    PointerRestore(const PointerRestore&) = delete;
    PointerRestore& operator=(const PointerRestore&) = delete;

private:
    platform::Ui& ui_;
};

void OpenWithPropertiesSet(ado::Connection& connection) {
    connection.Open({}, {}, {}, ado::adConnectUnspecified);
}

}  // namespace

bool clsDBMng::IsServerConnect() {
    bool result = false;
    try {
        ErrorClear();
        if (!sConnect)
            return result;
        result = mIsConnected && sConnect->State() != ado::adStateClosed;
    } catch (const std::exception&) {
    }
    return result;
}

std::int32_t clsDBMng::ServerDisConnect() {
    std::int32_t result = 0;
    try {
        ErrorClear();
        if (mInTrans) {
            Required(sConnect).RollbackTrans();
            mInTrans = false;  // rolled back: nothing is pending any more
        }
        if (sConnect && sConnect->State() == ado::adStateOpen)
            sConnect->Close();
        SetMainConnection(nullptr);
        sCommand = nullptr;
        sParameter = nullptr;
        mRecordset = nullptr;
        result = 1;
    } catch (const std::exception&) {
    }
    return result;
}

ado::Connection& clsDBMng::NewMainConnection() {
    ErrorClear();
    mIsConnected = false;
    SetMainConnection(ado::Connection::Create(environment_));
    sConnect->SetCursorLocation(ado::adUseClient);
    return *sConnect;
}

void clsDBMng::BindMainCommand() {
    sCommand = ado::Command::Create();
    sCommand->SetActiveConnection(sConnect);
}

std::int32_t clsDBMng::ConnectServerDB(const ado::Variant& rServer, const ado::Variant& rID,
                                       const ado::Variant& rPWD, const std::u16string& sDatabase) {
    std::int32_t result = 0;
    const PointerRestore pointer(ui_, true);
    try {
        auto& connection = NewMainConnection();
        connection.SetConnectionString(SqlServerConnectionString(
            mProvider, rServer.ToText(), sDatabase, rID.ToText(), rPWD.ToText()));
        connection.SetConnectionTimeout(DBConnectionTimeout);
        connection.SetCommandTimeout(kServerCommandTimeout);
        DBConnectString = connection.ConnectionString();
        if (sDatabase == u"OrviTexBK")
            connection.SetConnectionTimeout(1);
        OpenWithPropertiesSet(connection);
        ServerName = rServer.ToText();
        ServerID = rID.ToText();
        ServerPWD = rPWD.ToText();
        DatabaseName = sDatabase;
        BindMainCommand();
        result = 1;
        mIsConnected = true;
    } catch (const std::exception&) {
    }
    return result;
}

std::int32_t clsDBMng::ConnectServerMDB(const ado::Variant& mDBPath) {
    std::int32_t result = 0;
    const PointerRestore pointer(ui_, true);
    try {
        auto& connection = NewMainConnection();
        connection.SetConnectionString(JetConnectionString(mDBPath.ToText()));
        connection.SetConnectionTimeout(DBConnectionTimeout);
        connection.SetCommandTimeout(kFileCommandTimeout);
        OpenWithPropertiesSet(connection);
        DatabaseName = mDBPath.ToText();
        BindMainCommand();
        result = 1;
        mIsConnected = true;
    } catch (const std::exception&) {
    }
    return result;
}

std::int32_t clsDBMng::ConnectServerDSN(const std::u16string& mDSNName) {
    std::int32_t result = 0;
    const PointerRestore pointer(ui_, true);
    try {
        auto& connection = NewMainConnection();
        connection.SetConnectionString(DsnConnectionString(mDSNName));
        connection.SetConnectionTimeout(DBConnectionTimeout);
        connection.SetCommandTimeout(kFileCommandTimeout);
        OpenWithPropertiesSet(connection);
        DatabaseName = mDSNName;
        BindMainCommand();
        result = 1;
        mIsConnected = true;
    } catch (const std::exception&) {
    }
    return result;
}

std::int32_t clsDBMng::ConnectServerORACLE(const ado::Variant& rServer, const ado::Variant& rID,
                                           const ado::Variant& rPWD) {
    std::int32_t result = 0;
    const PointerRestore pointer(ui_, true);
    try {
        auto& connection = NewMainConnection();
        connection.SetConnectionString(
            OracleConnectionString(rServer.ToText(), rID.ToText(), rPWD.ToText()));
        connection.SetConnectionTimeout(DBConnectionTimeout);
        connection.SetCommandTimeout(kServerCommandTimeout);
        DBConnectString = connection.ConnectionString();
        OpenWithPropertiesSet(connection);
        ServerName = rServer.ToText();
        ServerID = rID.ToText();
        ServerPWD = rPWD.ToText();
        BindMainCommand();
        result = 1;
        mIsConnected = true;
    } catch (const std::exception&) {
    }
    return result;
}

void clsDBMng::ConnectServerRe() {
    const PointerRestore pointer(ui_, false);
    try {
        ErrorClear();
        mIsConnected = false;
        SetMainConnection(ado::Connection::Create(environment_));
        sConnect->SetCursorLocation(ado::adUseClient);
        sConnect->SetConnectionString(DBConnectString);
        sConnect->SetConnectionTimeout(DBConnectionTimeout);
        sConnect->SetCommandTimeout(kServerCommandTimeout);
        OpenWithPropertiesSet(*sConnect);
        BindMainCommand();
        mIsConnected = true;
    } catch (const std::exception&) {
    }
}

std::int32_t clsDBMng::ConnectLocalDB(const ado::Variant& mDBPath) {
    std::int32_t result = 0;
    try {
        ErrorClear();
        mConnect = ado::Connection::Create(environment_);
        mConnect->SetCursorLocation(ado::adUseServer);
        mConnect->SetConnectionString(JetConnectionString(mDBPath.ToText()));
        mConnect->SetConnectionTimeout(DBConnectionTimeout);
        OpenWithPropertiesSet(*mConnect);
        mCommand = ado::Command::Create();
        mCommand->SetActiveConnection(mConnect);
        result = 1;
    } catch (const std::exception&) {
    }
    return result;
}

}  // namespace orvitex::db
