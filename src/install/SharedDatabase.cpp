#include "install/SharedDatabase.h"

namespace orvitex::install {

std::int32_t SharedDatabase::ConnectServerDB(std::u16string_view server, std::u16string_view login,
                                             std::u16string_view password,
                                             std::u16string_view database) {
    return Instance().ConnectServerDB(ado::Variant(server), ado::Variant(login),
                                      ado::Variant(password), std::u16string(database));
}

db::clsDBMng& SharedDatabase::Instance() {
    if (!instance_) {
        instance_ = std::make_shared<db::clsDBMng>(ado::Environment::Create(drivers_), ui_, files_);
    }
    return *instance_;
}

}  // namespace orvitex::install
