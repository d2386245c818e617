#pragma once
#include "platform/Sha256.h"

namespace orvitex::win32 {

// SHA-256 through CNG (bcrypt.dll), present from Windows Vista on.
class CngSha256 : public platform::Sha256 {
public:
    [[nodiscard]] platform::Sha256Digest Digest(std::span<const std::byte> bytes) override;
};

}  // namespace orvitex::win32
