#include "install/AddressSpace.h"

#include "db/ado/Constants.h"
#include "db/ado/Recordset.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

// A value's length in bytes, in the dialects a central database speaks: SQL Server
// (the production server) has no standard function for it, SQLite 3.40 only length.
constexpr std::u16string_view kLengthFunctions[] = {u"DATALENGTH", u"octet_length", u"length"};

std::optional<std::int64_t> AskLength(const std::shared_ptr<ado::Connection>& connection,
                                      const std::u16string& query) {
    const auto recordset = ado::Recordset::Create();
    recordset->SetCursorLocation(ado::adUseClient);
    recordset->Open(std::u16string_view(query), connection, ado::adOpenForwardOnly,
                    ado::adLockReadOnly, ado::adCmdUnspecified);
    if (recordset->State() != ado::adStateOpen || recordset->Eof())
        return std::nullopt;
    const ado::Variant length = recordset->GetFields().Item(0).Value();
    if (length.IsNull())
        return std::nullopt;
    return length.ToInt64();
}

}  // namespace

std::u16string TooLargeMessage(const SetupPackage& package, std::int64_t bytes,
                               std::int64_t largest) {
    return PackageLabel(package) + u": 저장된 프로그램이 " + ToText(bytes) +
           u" 바이트로, 32비트 설치 프로그램이 받을 수 있는 크기(" + ToText(largest >> 20) +
           u" MiB)를 넘어 받지 않았습니다. 64비트 Windows에서는 orvitex-setup.exe를 쓰십시오.";
}

std::optional<std::int64_t> StoredProgramLength(db::clsDBMng& database,
                                                const SetupPackage& package) {
    const auto& connection = database.sConnect;
    if (!connection || connection->State() != ado::adStateOpen)
        return std::nullopt;
    // The first function the server knows answers; an unknown one fails the query.
    for (const std::u16string_view function : kLengthFunctions) {
        try {
            return AskLength(connection, u"Select " + std::u16string(function) +
                                             u"(실행파일) from tb_도르네AS where 파일이름 = '" +
                                             std::u16string(package.key) + u"' ");
        } catch (const std::exception&) {
        }
    }
    return std::nullopt;
}

}  // namespace orvitex::install
