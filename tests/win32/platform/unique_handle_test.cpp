#include "platform/win32/UniqueHandle.h"

#include <utility>

#include <gtest/gtest.h>

namespace orvitex::win32 {
namespace {

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

// Bugs caught: a failure's code lost in the cleanup that runs before it is read,
// a handle closed twice after a move, a failed open taken for an open file.
TEST(UniqueHandle, ClosesEachHandleOnceAndKeepsTheLastError) {
    {
        UniqueHandle<ClobberingTraits> first(7);
        UniqueHandle<ClobberingTraits> second(8);
        second = std::move(first);
        EXPECT_EQ(ClobberingTraits::closed, 1);
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), 7);
        SetLastError(ERROR_SHARING_VIOLATION);
    }
    EXPECT_EQ(ClobberingTraits::closed, 2);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(UniqueFileHandle(
        CreateFileW(L"Q:\\missing\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
}

}  // namespace
}  // namespace orvitex::win32
