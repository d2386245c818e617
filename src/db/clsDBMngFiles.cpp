#include <algorithm>
#include <cstddef>
#include <limits>

#include "db/Trapped.h"
#include "db/clsDBMng.h"

namespace orvitex::db {
namespace {

constexpr std::size_t kChunkSize = 32768;
constexpr std::int32_t kFileFailed = -1;

}  // namespace

std::int32_t clsDBMng::ImageDBSave(ado::Field& sFld, const std::u16string& sFileName) {
    std::int32_t result = 0;
    try {
        const auto content = files_.ReadWholeFile(sFileName);
        // The result is a 32-bit length: a larger file cannot be reported, so it is refused.
        if (!content || content->size() > std::numeric_limits<std::int32_t>::max()) {
            return kFileFailed;
        }
        const std::size_t length = content->size();
        if (length == 0)
            return result;
        for (std::size_t offset = 0; offset < length; offset += kChunkSize) {
            const auto end = offset + std::min(kChunkSize, length - offset);
            sFld.AppendChunk(
                ado::Variant(ado::Bytes(content->begin() + offset, content->begin() + end)));
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
