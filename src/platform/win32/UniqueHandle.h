#pragma once
// One move-only owner for every kind of Win32 handle. Traits name the handle type,
// the value that means "no handle" and the function that closes one.
#include "platform/win32/Win32Api.h"

#include <utility>

namespace orvitex::win32 {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    [[nodiscard]] Handle Get() const { return handle_; }
    [[nodiscard]] explicit operator bool() const { return handle_ != Traits::None(); }
    // For functions that hand a new handle back through a pointer.
    [[nodiscard]] Handle* Receive() {
        Reset();
        return &handle_;
    }
    [[nodiscard]] Handle Release() { return std::exchange(handle_, Traits::None()); }

    // Closing keeps the last error, so a failure can still be read after cleanup.
    void Reset(Handle handle = Traits::None()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::None()) {
            const DWORD lastError = GetLastError();
            Traits::Close(old);
            SetLastError(lastError);
        }
    }

private:
    Handle handle_ = Traits::None();
};

struct HkeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { RegCloseKey(handle); }
};

struct FindTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};

// CreateFileW reports failure as INVALID_HANDLE_VALUE ...
struct FileTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

// ... while process and thread handles use null.
struct KernelTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

// Memory the system allocated for the caller (FormatMessage, CommandLineToArgvW).
template <typename Pointer>
struct LocalTraits {
    using Handle = Pointer;
    static Handle None() { return nullptr; }
    static void Close(Handle memory) { LocalFree(memory); }
};

template <typename Object>
struct GdiTraits {
    using Handle = Object;
    static Handle None() { return nullptr; }
    static void Close(Handle object) { DeleteObject(object); }
};

struct WindowTraits {
    using Handle = HWND;
    static Handle None() { return nullptr; }
    static void Close(Handle window) { DestroyWindow(window); }
};

using UniqueHkey = UniqueHandle<HkeyTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueFileHandle = UniqueHandle<FileTraits>;
using UniqueKernelHandle = UniqueHandle<KernelTraits>;
template <typename Pointer>
using UniqueLocal = UniqueHandle<LocalTraits<Pointer>>;
using UniqueFont = UniqueHandle<GdiTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiTraits<HBRUSH>>;
using UniqueRegion = UniqueHandle<GdiTraits<HRGN>>;
using UniqueWindow = UniqueHandle<WindowTraits>;

}  // namespace orvitex::win32
