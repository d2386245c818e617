#pragma once
// The institution's row of the server-information table, and the client
// configuration file copied from its update folder.
#include <cstdint>
#include <string>
#include <string_view>

#include "db/clsDBMng.h"
#include "install/ServerRecord.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace orvitex::install {

inline constexpr std::u16string_view kUnknownInstitution = u"요양기관기호를 다시한번 확인해주세요.";
inline constexpr std::u16string_view kClientBinFolder = u"C:\\Orvitex\\bin";

// The code goes in as typed; a single quote is doubled so that it stays data, and an
// unpaired surrogate, which no stored code can hold, becomes U+FFFD so that no
// driver's conversion can swallow the closing quote.
[[nodiscard]] std::u16string InstitutionQuery(std::u16string_view code);

// True and the record overwritten when a row matches; false leaves it as it was.
[[nodiscard]] bool LookupInstitution(db::clsDBMng& database, std::u16string_view code,
                                     ServerRecord& record);

// The update folder's "Orvitex.ini", with one trailing backslash of the folder dropped.
[[nodiscard]] std::u16string ClientConfigSource(std::u16string_view updatePath);

enum class ConfigCopy { NotTried, Copied, Failed, NotAFolder };

// Copies the file into the product's bin folder when that exists; a plain file
// of that name is left as it is (NotAFolder). silent: no shell window may wait
// for a person. The shell reports nothing, so the result compares the copy with
// its source afterwards.
ConfigCopy WriteClientConfig(platform::FileSystem& files, platform::Shell& shell,
                             const ServerRecord& record, std::uintptr_t ownerWindow, bool silent);

}  // namespace orvitex::install
