#include "platform/Sha256.h"

namespace orvitex::platform {

std::u16string Sha256Hex(Sha256& sha256, std::span<const std::byte> bytes) {
    constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string text;
    for (const std::uint8_t b : sha256.Digest(bytes)) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

}  // namespace orvitex::platform
