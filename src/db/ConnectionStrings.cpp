#include "db/ConnectionStrings.h"

#include <initializer_list>

namespace orvitex::db {
namespace {

std::u16string Join(std::initializer_list<std::u16string_view> pieces) {
    std::u16string text;
    for (const auto piece : pieces)
        text += piece;
    return text;
}

}  // namespace

std::u16string SqlServerConnectionString(std::u16string_view provider, std::u16string_view server,
                                         std::u16string_view database, std::u16string_view id,
                                         std::u16string_view password) {
    return Join({u"Provider       ='", provider, u"';  ", u"Data Source    ='", server, u"';   ",
                 u"Initial Catalog='", database, u"'; ", u"User Id        ='", id, u"';     ",
                 u"Password       ='", password, u"'     "});
}

std::u16string JetConnectionString(std::u16string_view path) {
    return Join({u"Provider=Microsoft.Jet.OLEDB.4.0; ", u"Data Source=", path, u";"});
}

std::u16string DsnConnectionString(std::u16string_view dsn) {
    return Join({u"Data Source=", dsn, u";"});
}

std::u16string OracleConnectionString(std::u16string_view server, std::u16string_view id,
                                      std::u16string_view password) {
    return Join({u"Provider=Microsoft OLE DB Provider for Oracle;", u"Data Source    ='", server,
                 u"';   ", u"Persist Security Info=False;         ", u"User Id        ='", id,
                 u"';       ", u"Password       ='", password, u"'       "});
}

}  // namespace orvitex::db
