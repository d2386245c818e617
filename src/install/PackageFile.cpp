#include "install/PackageFile.h"

#include <stdexcept>

#include "db/Required.h"
#include "db/gSQL.h"
#include "install/AddressSpace.h"
#include "platform/Text.h"

namespace orvitex::install {

void WriteFileWhole(platform::FileSystem& files, std::u16string_view target,
                    std::span<const std::byte> bytes) {
    const std::u16string partial = std::u16string(target) + u".part";
    if (!files.WriteFlushedFile(partial, bytes)) {
        static_cast<void>(files.DeleteFile(partial));
        throw std::runtime_error("cannot write " + ToUtf8(partial));
    }
    if (!files.ReplaceFile(partial, target)) {
        static_cast<void>(files.DeleteFile(partial));
        throw std::runtime_error("cannot rename " + ToUtf8(partial) + " to " + ToUtf8(target));
    }
}

StoredProgram ReadStoredProgram(db::clsDBMng& database, const SetupPackage& package,
                                std::optional<std::int64_t> largest) {
    // Refused before the fetch: a 32-bit process could not hold it.
    if (largest) {
        const auto length = StoredProgramLength(database, package);
        if (length && *length > *largest)
            throw std::runtime_error(ToUtf8(TooLargeMessage(package, *length, *largest)));
    }
    db::gSQL = PackageQuery(package);
    const auto recordset = database.GetRecordSet(db::gSQL, ado::adOpenForwardOnly,
                                                 ado::adLockReadOnly, ado::adUseClient);
    ado::Field& program = db::Required(recordset).GetFields()[u"실행파일"];
    if (program.Value().IsNull()) {
        return {PackageFileState::Null, nullptr};
    }
    const std::int64_t size = program.ActualSize();
    if (size == 0) {
        return {PackageFileState::Empty, nullptr};
    }
    return {PackageFileState::Fetched, program.GetChunk(size).ToBytes()};
}

PackageFileResult FetchPackageFile(db::clsDBMng& database, platform::FileSystem& files,
                                   const SetupPackage& package) {
    db::gSQL = PackageQuery(package);
    if (files.FileExists(package.file)) {
        return {PackageFileState::Reused};
    }
    StoredProgram stored = ReadStoredProgram(database, package);
    if (!stored.bytes) {
        return {stored.state};
    }
    WriteFileWhole(files, package.file, *stored.bytes);
    return {PackageFileState::Fetched, static_cast<std::int64_t>(stored.bytes->size()),
            std::move(stored.bytes)};
}

void MeasurePackageFile(platform::FileSystem& files, platform::Sha256* sha256,
                        const SetupPackage& package, const PackageFileResult& file,
                        PackageRecord& kept) {
    auto bytes = file.bytes;
    if (file.state == PackageFileState::Reused) {
        kept.action = PackageAction::Reused;
        if (auto read = files.ReadWholeFile(package.file)) {
            bytes = std::make_shared<const std::vector<std::byte>>(std::move(*read));
        }
    } else {
        kept.action = PackageAction::Fetched;
    }
    if (bytes) {
        kept.bytes = static_cast<std::int64_t>(bytes->size());
        kept.sha256 = sha256 ? platform::Sha256Hex(*sha256, *bytes) : u"";
    }
}

}  // namespace orvitex::install
