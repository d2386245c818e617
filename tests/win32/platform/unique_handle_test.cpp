#include "platform/win32/UniqueHandle.h"

#include <utility>

#include <gtest/gtest.h>

namespace orvitex::win32 {
namespace {

UniqueHkey OpenSoftwareKey() {
    UniqueHkey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_READ, key.Receive()),
              ERROR_SUCCESS);
    return key;
}

// Some close functions reset the last error even when they succeed.
struct ClobberingTraits {
    using Handle = int;
    static inline int closed = 0;
    static Handle None() { return 0; }
    static void Close(Handle) {
        ++closed;
        SetLastError(ERROR_SUCCESS);
    }
};

// A failure's code must survive the cleanup that runs before it is read.
TEST(UniqueHandle, ClosingKeepsTheLastError) {
    ClobberingTraits::closed = 0;
    {
        UniqueHandle<ClobberingTraits> owner(7);
        SetLastError(ERROR_SHARING_VIOLATION);
    }
    EXPECT_EQ(ClobberingTraits::closed, 1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    UniqueHkey key = OpenSoftwareKey();
    ASSERT_TRUE(key);
    SetLastError(ERROR_FILE_NOT_FOUND);
    key.Reset();
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(key);
}

TEST(UniqueHandle, MovingHandsOverTheOneHandle) {
    UniqueHkey first = OpenSoftwareKey();
    const HKEY raw = first.Get();
    UniqueHkey second = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(second.Get(), raw);
    DWORD subkeys = 0;
    EXPECT_EQ(RegQueryInfoKeyW(second.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);

    UniqueFind none;
    EXPECT_EQ(none.Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(none);
}

}  // namespace
}  // namespace orvitex::win32
