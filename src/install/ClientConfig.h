#pragma once
// The client configuration file "Orvitex.ini", copied from the institution's update
// folder into the product's bin folder once the setup programs have made it.
#include <cstdint>
#include <string>
#include <string_view>

#include "install/RunLog.h"
#include "install/RunRecord.h"
#include "install/ServerRecord.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace orvitex::install {

inline constexpr std::u16string_view kClientBinFolder = u"C:\\Orvitex\\bin";

// The update folder's "Orvitex.ini", with one trailing backslash of the folder dropped.
[[nodiscard]] std::u16string ClientConfigSource(std::u16string_view updatePath);

// Copies the file into the product's bin folder when that exists; a plain file
// of that name is left as it is (NotAFolder). silent: no shell window may wait
// for a person. The shell reports nothing, so the result compares the copy with
// its source afterwards.
ConfigCopy WriteClientConfig(platform::FileSystem& files, platform::Shell& shell,
                             const ServerRecord& record, std::uintptr_t ownerWindow, bool silent);

// The copy as a step of the run: done, logged, and kept for the report.
[[nodiscard]] ClientConfigRecord CopyClientConfig(platform::FileSystem& files,
                                                  platform::Shell& shell,
                                                  const ServerRecord& record,
                                                  std::uintptr_t ownerWindow, bool silent,
                                                  RunLog& log);

}  // namespace orvitex::install
