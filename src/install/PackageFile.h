#pragma once
// One package's program file: reused when present, else fetched from the
// setup-file table and put in place whole or not at all.
#include <cstdint>
#include <span>
#include <string_view>

#include "db/clsDBMng.h"
#include "install/Packages.h"
#include "platform/FileSystem.h"

namespace orvitex::install {

enum class PackageFileState { Fetched, Reused, Null, Empty };

struct PackageFileResult {
    PackageFileState state;
    std::int64_t size = 0;  // bytes written, when fetched
};

// The query text goes into gSQL whether or not the file is fetched. Throws
// std::runtime_error when the file cannot be written.
[[nodiscard]] PackageFileResult FetchPackageFile(db::clsDBMng& database,
                                                 platform::FileSystem& files,
                                                 const SetupPackage& package);

// Written beside the target under a name no package has, flushed, then renamed
// over it: a cut-off write never leaves a truncated program under the target's
// name. Throws std::runtime_error, with no temporary left behind.
void WriteFileWhole(platform::FileSystem& files, std::u16string_view target,
                    std::span<const std::byte> bytes);

}  // namespace orvitex::install
