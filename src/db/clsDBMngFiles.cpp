#include <algorithm>
#include <cstddef>
#include <limits>
#include <span>

#include "db/clsDBMng.h"

namespace orvitex::db {
namespace {

constexpr std::size_t kChunkSize = 32768;
constexpr std::int32_t kFileFailed = -1;

}  // namespace

std::int32_t clsDBMng::ImageDBSave(ado::Field& sFld, const std::u16string& sFileName) {
    std::int32_t result = 0;
    try {
        const auto file = files_.OpenForReading(sFileName);
        // The result is a 32-bit length: a larger file cannot be reported, so it is
        // refused before a byte of it is read.
        if (!file || file->Size() > std::numeric_limits<std::int32_t>::max())
            return kFileFailed;
        const auto length = static_cast<std::size_t>(file->Size());
        if (length == 0)
            return result;
        sFld.ReserveChunks(static_cast<std::int64_t>(length));
        ado::Bytes block(kChunkSize);
        for (std::size_t offset = 0; offset < length; offset += kChunkSize) {
            const auto count = std::min(kChunkSize, length - offset);
            const auto read = file->Read(std::span(block).first(count));
            if (!read || *read != count)
                return kFileFailed;
            sFld.AppendChunk(ado::Variant(ado::Bytes(block.begin(), block.begin() + count)));
        }
        result = static_cast<std::int32_t>(length);
    } catch (const std::exception&) {
        result = kFileFailed;
    }
    return result;
}

std::int32_t clsDBMng::ImageDBLoad(ado::Field& sFld, const std::u16string& sFileName,
                                   bool sIsUpdate) {
    std::int32_t result = 0;
    try {
        if (files_.FileExists(sFileName)) {
            if (!sIsUpdate)
                return 1;
            if (!files_.DeleteFile(sFileName))
                return kFileFailed;
        }
        if (sFld.Value().IsNull())
            return result;
        const auto size = sFld.ActualSize();
        if (size == 0)
            return result;
        const auto bytes = sFld.GetChunk(size).ToBytes();
        if (!bytes || !files_.WriteWholeFile(sFileName, *bytes))
            return kFileFailed;
        result = 1;
    } catch (const std::exception&) {
        result = kFileFailed;
    }
    return result;
}

}  // namespace orvitex::db
