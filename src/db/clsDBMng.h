#pragma once
// The program's one gateway to databases: the main connection and its command,
// a local Jet connection, queries, transactions, files in binary columns and
// parameterised commands, all over the ADO-shaped layer.
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "db/ado/Command.h"
#include "db/ado/Connection.h"
#include "db/ado/Environment.h"
#include "db/ado/Recordset.h"
#include "db/ado/Variant.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace orvitex::db {

// What fnGetRows hands back: the empty text for no rows, otherwise the rows as
// values[field][row]. A Variant cannot hold an array, hence the alternative.
using RowsOrValue = std::variant<ado::Variant, ado::RowArray>;

class clsDBMng : private ado::ConnectionEvents {
public:
    clsDBMng(std::shared_ptr<ado::Environment> environment, platform::Ui& ui,
             platform::FileSystem& files);
    ~clsDBMng() override;
    clsDBMng(const clsDBMng&) = delete;
    clsDBMng& operator=(const clsDBMng&) = delete;

    std::u16string ErrorDesc;
    std::shared_ptr<ado::Command> sCommand;
    std::shared_ptr<ado::Parameter> sParameter;
    std::shared_ptr<ado::Recordset> sRecordset;
    std::shared_ptr<ado::Connection> mConnect;
    std::shared_ptr<ado::Command> mCommand;
    std::shared_ptr<ado::Recordset> mRecordset;
    std::u16string DatabaseName;
    std::u16string ServerName;
    std::u16string ServerID;
    std::u16string ServerPWD;
    std::int32_t DBConnectionTimeout = 10;
    std::u16string DBConnectString;
    std::shared_ptr<ado::Connection> sConnect;

    // Connections.
    void ErrorClear();
    [[nodiscard]] std::u16string LocalDataFilePath() const;
    [[nodiscard]] bool IsServerConnect();
    [[nodiscard]] std::int32_t ServerDisConnect();
    [[nodiscard]] std::int32_t ConnectServerDB(const ado::Variant& rServer, const ado::Variant& rID,
                                               const ado::Variant& rPWD,
                                               const std::u16string& sDatabase = {});
    [[nodiscard]] std::int32_t ConnectServerMDB(const ado::Variant& mDBPath);
    [[nodiscard]] std::int32_t ConnectServerDSN(const std::u16string& mDSNName);
    [[nodiscard]] std::int32_t ConnectServerORACLE(const ado::Variant& rServer,
                                                   const ado::Variant& rID,
                                                   const ado::Variant& rPWD);
    void ConnectServerRe();

    // Queries, recordsets and transactions.
    [[nodiscard]] std::int32_t RunSQLTrans(const std::vector<ado::Variant>& rSQL);
    [[nodiscard]] ado::Variant GetSystemDate();
    [[nodiscard]] std::u16string GetSystemDateStr();
    [[nodiscard]] std::int32_t RunSQL(const std::u16string& rSQL);
    [[nodiscard]] std::shared_ptr<ado::Recordset> GetRecordSet(
        const std::u16string& rSQL, std::int32_t rCursorType = ado::adOpenForwardOnly,
        std::int32_t rLockType = ado::adLockReadOnly,
        std::int32_t rCurorLocation = ado::adUseClient);

    // Parameterised commands.
    [[nodiscard]] std::shared_ptr<ado::Command> GetCommand(const std::u16string& ComText,
                                                           std::int32_t ComType = ado::adCmdText);
    void CommandParaClear();
    [[nodiscard]] std::shared_ptr<ado::Parameter> GetParameter(const ado::Variant& sParaName);
    [[nodiscard]] std::int32_t CommandAppendPara(const ado::Variant& ParaName,
                                                 const ado::Variant& ValueData,
                                                 std::int32_t pType = 0,
                                                 std::int32_t Direction = ado::adParamInput,
                                                 std::int32_t pSize = 0);
    [[nodiscard]] std::int32_t CommandExcute(const std::u16string& rSQL = {},
                                             bool paraClear = true);
    // rRst, when given, receives the rows of a successful run.
    [[nodiscard]] std::int32_t CommandExcuteRst(const std::u16string& rSQL = {},
                                                std::shared_ptr<ado::Recordset>* rRst = nullptr,
                                                bool paraClear = true);

    // Files in binary columns.
    [[nodiscard]] std::int32_t ImageDBSave(ado::Field& sFld, const std::u16string& sFileName);
    [[nodiscard]] std::int32_t ImageDBLoad(ado::Field& sFld, const std::u16string& sFileName,
                                           bool sIsUpdate = false);

    // The local connection.
    [[nodiscard]] std::int32_t ConnectLocalDB(const ado::Variant& mDBPath);
    [[nodiscard]] std::int32_t RunSQLm(const std::u16string& rSQL);

    [[nodiscard]] bool fnGetRows(std::u16string rSQL, RowsOrValue& rtn_Arr);
    [[nodiscard]] bool fnExecute(std::u16string rSQL, std::int32_t& rCnt,
                                 const std::u16string& ErrDesc);
    void fnBeginTrans();
    void fnCommitTrans();
    void fnRollBackTrans();

private:
    // Notifications of sConnect.
    void ConnectComplete(const ado::Error* pError, std::int32_t adStatus,
                         ado::Connection& pConnection) override;
    void Disconnect(std::int32_t adStatus, ado::Connection& pConnection) override;
    void sConnect_ConnectComplete(const ado::Error* pError, std::int32_t adStatus,
                                  ado::Connection& pConnection);
    void sConnect_Disconnect(std::int32_t adStatus, ado::Connection& pConnection);

    // Steps every connect method shares.
    ado::Connection& NewMainConnection();
    void SetMainConnection(std::shared_ptr<ado::Connection> connection);
    void BindMainCommand();
    void ReportQueryFailure(const ado::Error& error);
    // The text with the main connection's string and any password value masked.
    [[nodiscard]] std::u16string WithoutSecrets(std::u16string text) const;

    bool mInTrans = false;
    bool mIsConnected = false;
    std::u16string mProvider = u"SQLOLEDB";

    std::shared_ptr<ado::Environment> environment_;
    platform::Ui& ui_;
    platform::FileSystem& files_;
    // The connection whose notifications come here; not necessarily sConnect,
    // which callers may assign.
    std::weak_ptr<ado::Connection> eventSource_;
};

}  // namespace orvitex::db
