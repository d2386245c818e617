#pragma once
// Closes a recordset and lets go of it; never fails.
#include <memory>

#include "db/ado/Recordset.h"

namespace orvitex::db {

void CloseRecordset(std::shared_ptr<ado::Recordset>& recordset) noexcept;

}  // namespace orvitex::db
