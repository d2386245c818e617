#include <algorithm>
#include <utility>

#include "db/QueryFailure.h"
#include "db/Required.h"
#include "db/Trapped.h"
#include "db/clsDBMng.h"
#include "db/gSQL.h"

namespace orvitex::db {
namespace {

constexpr std::int32_t kStatementFailed = -1000;

void RunDiscardingRows(ado::Connection& connection, std::u16string_view sql) {
    static_cast<void>(connection.Execute(sql, nullptr, ado::adCmdUnspecified));
}

// Drops a working recordset whatever state it is in; used on failure paths.
void Discard(std::shared_ptr<ado::Recordset>& recordset) noexcept {
    if (!recordset)
        return;
    try {
        if (recordset->ActiveConnection())
            recordset->SetActiveConnection(nullptr);
    } catch (const std::exception&) {
    }
    try {
        if (recordset->State() == ado::adStateOpen)
            recordset->Close();
    } catch (const std::exception&) {
    }
    recordset = nullptr;
}

std::u16string DigitsOnly(std::u16string text) {
    for (const char16_t separator : {u'-', u':', u'.', u' '}) {
        std::erase(text, separator);
    }
    return text;
}

}  // namespace

std::int32_t clsDBMng::RunSQLTrans(const std::vector<ado::Variant>& rSQL) {
    std::int32_t result = 0;
    bool begun = false;
    try {
        ErrorClear();
        ui_.SetBusyPointer(false);
        auto& connection = Required(sConnect);
        static_cast<void>(connection.BeginTrans());
        begun = true;
        for (const auto& statement : rSQL)
            RunDiscardingRows(connection, statement.ToText());
        connection.CommitTrans();
        result = 1;
        ui_.SetBusyPointer(false);
    } catch (const std::exception&) {
        result = kStatementFailed;
        // Only a transaction begun here is ours to roll back; a failing
        // rollback reaches the caller.
        if (begun)
            Required(sConnect).RollbackTrans();
    }
    return result;
}

ado::Variant clsDBMng::GetSystemDate() {
    ado::Variant result;
    try {
        gSQL = u"SELECT GETDATE()";
        const auto recordset =
            GetRecordSet(gSQL, ado::adOpenForwardOnly, ado::adLockReadOnly, ado::adUseClient);
        result = Required(recordset).GetFields().Item(0).Value();
    } catch (const std::exception&) {
    }
    return result;
}

std::u16string clsDBMng::GetSystemDateStr() {
    std::u16string result;
    try {
        gSQL = u"select convert(varchar(30), getdate(),121)";
        const auto recordset =
            GetRecordSet(gSQL, ado::adOpenForwardOnly, ado::adLockReadOnly, ado::adUseClient);
        auto digits = DigitsOnly(Required(recordset).GetFields().Item(0).Value().ToText());
        const auto first = digits.find_first_not_of(u' ');
        const auto last = digits.find_last_not_of(u' ');
        result = first == std::u16string::npos ? std::u16string{}
                                               : digits.substr(first, last - first + 1);
    } catch (const std::exception&) {
    }
    return result;
}

std::int32_t clsDBMng::RunSQL(const std::u16string& rSQL) {
    std::int32_t result = 0;
    try {
        ErrorClear();
        if (!IsServerConnect())
            ConnectServerRe();
        RunDiscardingRows(Required(sConnect), rSQL);
        result = 1;
    } catch (const std::exception&) {
        result = kStatementFailed;
    }
    return result;
}

std::int32_t clsDBMng::RunSQLm(const std::u16string& rSQL) {
    std::int32_t result = 0;
    try {
        ErrorClear();
        RunDiscardingRows(Required(mConnect), rSQL);
        result = 1;
    } catch (const std::exception&) {
        result = kStatementFailed;
    }
    return result;
}

std::shared_ptr<ado::Recordset> clsDBMng::GetRecordSet(const std::u16string& rSQL,
                                                       std::int32_t rCursorType,
                                                       std::int32_t rLockType,
                                                       std::int32_t rCurorLocation) {
    std::shared_ptr<ado::Recordset> result;
    try {
        ErrorClear();
        if (!IsServerConnect())
            ConnectServerRe();
        result = ado::Recordset::Create();
        result->SetCursorLocation(rCurorLocation);
        result->Open(std::u16string_view(rSQL), sConnect, rCursorType, rLockType,
                     ado::adCmdUnspecified);
    } catch (const std::exception& failure) {
        const auto error = Trapped(failure);
        ReportQueryFailure(error);
    }
    return result;
}

void clsDBMng::ReportQueryFailure(const ado::Error& error) {
    ErrorDesc = WithoutSecrets(error.Description());
    auto response = RespondToQueryFailure(error.Number(), error.Description());
    if (response.reconnect) {
        auto recorded = ErrorDesc;
        ConnectServerRe();
        // The reconnect clears ErrorDesc on entry; the failure stays on record.
        ErrorDesc = std::move(recorded);
    }
    const auto& shown = response.icon == platform::MessageIcon::None ? ErrorDesc : response.message;
    ui_.ShowMessage(shown, response.icon);
}

bool clsDBMng::fnGetRows(std::u16string rSQL, RowsOrValue& rtn_Arr) {
    bool result = false;
    try {
        ErrorClear();
        sRecordset = ado::Recordset::Create();
        sRecordset->SetSource(rSQL);
        sRecordset->SetActiveConnection(sConnect);
        sRecordset->SetCursorType(ado::adOpenForwardOnly);
        sRecordset->SetLockType(ado::adLockReadOnly);
        sRecordset->SetCursorLocation(ado::adUseClient);
        sRecordset->Open(std::nullopt, nullptr, ado::adOpenUnspecified, ado::adLockUnspecified,
                         ado::adCmdUnspecified);
        sRecordset->SetActiveConnection(nullptr);
        if (sRecordset->Eof()) {
            rtn_Arr = ado::Variant(u"");
        } else {
            rtn_Arr = sRecordset->GetRows(ado::adGetRowsRest);
        }
        if (sRecordset->State() == ado::adStateOpen)
            sRecordset->Close();
        sRecordset = nullptr;
        result = true;
    } catch (const std::exception&) {
        Discard(sRecordset);
    }
    return result;
}

bool clsDBMng::fnExecute(std::u16string rSQL, std::int32_t& rCnt,
                         const std::u16string& /*ErrDesc*/) {
    bool result = false;
    try {
        ErrorClear();
        static_cast<void>(Required(sConnect).Execute(rSQL, &rCnt, ado::adExecuteNoRecords));
        result = true;
    } catch (const std::exception&) {
    }
    return result;
}

void clsDBMng::fnBeginTrans() {
    try {
        if (mInTrans)
            fnRollBackTrans();
        static_cast<void>(Required(sConnect).BeginTrans());
        mInTrans = true;
    } catch (const std::exception&) {
    }
}

void clsDBMng::fnCommitTrans() {
    try {
        if (!mInTrans)
            return;
        Required(sConnect).CommitTrans();
        mInTrans = false;
    } catch (const std::exception&) {
    }
}

void clsDBMng::fnRollBackTrans() {
    try {
        if (!mInTrans)
            return;
        Required(sConnect).RollbackTrans();
        mInTrans = false;
    } catch (const std::exception&) {
    }
}

}  // namespace orvitex::db
