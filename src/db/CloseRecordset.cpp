#include "db/CloseRecordset.h"

namespace orvitex::db {

void CloseRecordset(std::shared_ptr<ado::Recordset>& recordset) noexcept {
    try {
        if (recordset)
            recordset->Close();
    } catch (...) {
        // Already closed, or anything else: the reference is dropped regardless.
    }
    recordset.reset();
}

}  // namespace orvitex::db
