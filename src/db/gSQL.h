#pragma once
// The program-wide text of the current query. Callers put their statement here
// and hand it to GetRecordSet; the date methods of clsDBMng overwrite it.
#include <string>

namespace orvitex::db {

extern std::u16string gSQL;

}  // namespace orvitex::db
