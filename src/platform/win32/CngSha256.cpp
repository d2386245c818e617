#include "platform/win32/CngSha256.h"

#include "platform/win32/Win32Api.h"

#include <bcrypt.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace orvitex::win32 {
namespace {

struct AlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { BCryptCloseAlgorithmProvider(handle, 0); }
};
struct HashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { BCryptDestroyHash(handle); }
};

void Check(NTSTATUS status, const char* step) {
    if (status < 0) {
        throw std::runtime_error(std::string("SHA-256: ") + step + " failed");
    }
}

}  // namespace

platform::Sha256Digest CngSha256::Digest(std::span<const std::byte> bytes) {
    UniqueHandle<AlgorithmTraits> algorithm;
    Check(BCryptOpenAlgorithmProvider(algorithm.Receive(), BCRYPT_SHA256_ALGORITHM, nullptr, 0),
          "opening the provider");
    // Windows 7 wants the caller to hold the hash object's memory.
    DWORD objectSize = 0;
    ULONG got = 0;
    Check(BCryptGetProperty(algorithm.Get(), BCRYPT_OBJECT_LENGTH,
                            reinterpret_cast<PUCHAR>(&objectSize), sizeof objectSize, &got, 0),
          "reading the object size");
    std::vector<UCHAR> object(objectSize);
    UniqueHandle<HashTraits> hash;
    Check(
        BCryptCreateHash(algorithm.Get(), hash.Receive(), object.data(), objectSize, nullptr, 0, 0),
        "creating the hash");
    constexpr std::size_t kChunk = std::size_t{1} << 30;  // the length is a ULONG
    do {
        const std::size_t count = std::min(bytes.size(), kChunk);
        Check(BCryptHashData(hash.Get(),
                             reinterpret_cast<PUCHAR>(const_cast<std::byte*>(bytes.data())),
                             static_cast<ULONG>(count), 0),
              "hashing");
        bytes = bytes.subspan(count);
    } while (!bytes.empty());
    platform::Sha256Digest digest{};
    Check(BCryptFinishHash(hash.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0),
          "finishing");
    return digest;
}

}  // namespace orvitex::win32
