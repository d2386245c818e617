#pragma once
// The institution's row of the server-information table.
#include <string>
#include <string_view>

#include "db/clsDBMng.h"
#include "install/ServerRecord.h"

namespace orvitex::install {

inline constexpr std::u16string_view kUnknownInstitution = u"요양기관기호를 다시한번 확인해주세요.";

// The code goes in as typed; a single quote is doubled so that it stays data, and an
// unpaired surrogate, which no stored code can hold, becomes U+FFFD so that no
// driver's conversion can swallow the closing quote.
[[nodiscard]] std::u16string InstitutionQuery(std::u16string_view code);

// True and the record overwritten when a row matches; false leaves it as it was.
[[nodiscard]] bool LookupInstitution(db::clsDBMng& database, std::u16string_view code,
                                     ServerRecord& record);

}  // namespace orvitex::install
