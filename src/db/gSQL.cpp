#include "db/gSQL.h"

namespace orvitex::db {

std::u16string gSQL;

}  // namespace orvitex::db
