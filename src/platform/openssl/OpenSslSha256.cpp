#include "platform/openssl/OpenSslSha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace orvitex::openssl {

platform::Sha256Digest OpenSslSha256::Digest(std::span<const std::byte> bytes) {
    platform::Sha256Digest digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) !=
            1 ||
        length != digest.size()) {
        throw std::runtime_error("libcrypto could not compute SHA-256");
    }
    return digest;
}

}  // namespace orvitex::openssl
