#pragma once
// One package's program file: reused when present, else fetched from the
// setup-file table and put in place whole or not at all.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "db/clsDBMng.h"
#include "install/AddressSpace.h"
#include "install/Packages.h"
#include "install/RunRecord.h"
#include "platform/FileSystem.h"
#include "platform/Sha256.h"

namespace orvitex::install {

enum class PackageFileState { Fetched, Reused, Null, Empty };

struct PackageFileResult {
    PackageFileState state;
    std::int64_t size = 0;                                          // bytes written, when fetched
    std::shared_ptr<const std::vector<std::byte>> bytes = nullptr;  // written, when fetched
};

// The package's row of the setup-file table, read as the run reads it: the
// query text into gSQL, the first row's 실행파일 by Value, ActualSize and GetChunk.
// A program longer than largest (LargestStoredProgram: 32-bit builds only) is
// refused before it is fetched, with std::runtime_error.
struct StoredProgram {
    PackageFileState state;  // Null, Empty, or Fetched when it holds bytes
    std::shared_ptr<const std::vector<std::byte>> bytes;
};
[[nodiscard]] StoredProgram ReadStoredProgram(
    db::clsDBMng& database, const SetupPackage& package,
    std::optional<std::int64_t> largest = LargestStoredProgram());

// The query text goes into gSQL whether or not the file is fetched. Throws
// std::runtime_error when the file cannot be written.
[[nodiscard]] PackageFileResult FetchPackageFile(db::clsDBMng& database,
                                                 platform::FileSystem& files,
                                                 const SetupPackage& package);

// Size and hash of the file as it will be started, and how it came to be there, into
// kept; a reused file is read from disk. sha256 may be none: nothing is hashed.
void MeasurePackageFile(platform::FileSystem& files, platform::Sha256* sha256,
                        const SetupPackage& package, const PackageFileResult& file,
                        PackageRecord& kept);

// Written beside the target under a name no package has, flushed, then renamed
// over it: a cut-off write never leaves a truncated program under the target's
// name. Throws std::runtime_error, with no temporary left behind.
void WriteFileWhole(platform::FileSystem& files, std::u16string_view target,
                    std::span<const std::byte> bytes);

}  // namespace orvitex::install
