// CNG's SHA-256, the one that names the setup programs in logs and reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Text.h"
#include "platform/win32/CngSha256.h"

namespace orvitex::win32 {
namespace {

// Bugs caught: a digest of the wrong algorithm or length, nibbles or bytes in
// the wrong order, an empty input refused, a long input cut short.
TEST(Sha256, KnownDigests) {
    struct Row {
        std::string input;
        const char* hex;
    };
    const Row rows[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    CngSha256 sha256;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input.size());
        const auto* data = reinterpret_cast<const std::byte*>(row.input.data());
        EXPECT_EQ(ToUtf8(platform::Sha256Hex(sha256, {data, row.input.size()})), row.hex);
    }
}

}  // namespace
}  // namespace orvitex::win32
