#include "install/Institution.h"

#include "db/CloseRecordset.h"
#include "db/Required.h"
#include "db/gSQL.h"
#include "platform/Text.h"

namespace orvitex::install {

std::u16string InstitutionQuery(std::u16string_view code) {
    std::u16string text =
        u" Select 자동업데이트경로, 서버Name, 서버ID, 서버PWD, 데이터베이스 from tb_orvi서버정보 "
        u"where 요양기관기호 = '";
    for (const char16_t c : WithoutLoneSurrogates(code)) {
        text += c;
        if (c == u'\'') {
            text += c;
        }
    }
    return text + u"' ";
}

bool LookupInstitution(db::clsDBMng& database, std::u16string_view code, ServerRecord& record) {
    db::gSQL = InstitutionQuery(code);
    auto recordset = database.GetRecordSet(db::gSQL, ado::adOpenForwardOnly, ado::adLockReadOnly,
                                           ado::adUseClient);
    const bool found = db::Required(recordset).RecordCount() != 0;
    if (found) {
        auto& fields = recordset->GetFields();
        ServerRecord read;
        read.updatePath = fields[u"자동업데이트경로"].Value().ToText();
        read.serverName = fields[u"서버Name"].Value().ToText();
        read.serverId = fields[u"서버ID"].Value().ToText();
        read.serverPassword = fields[u"서버PWD"].Value().ToText();
        read.databaseName = fields[u"데이터베이스"].Value().ToText();
        record = std::move(read);
    }
    db::CloseRecordset(recordset);
    return found;
}

}  // namespace orvitex::install
