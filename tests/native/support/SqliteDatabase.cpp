#include "support/SqliteDatabase.h"

#include "platform/Text.h"

namespace orvitex::testing {

SqliteDatabase::SqliteDatabase() : folder_("orvitex-sqlite"), path_(folder_.File("test.db")) {}

std::u16string SqliteDatabase::OdbcString() const {
    return u"Driver={SQLite3};Database=" + FromUtf8(path_.string());
}

}  // namespace orvitex::testing
