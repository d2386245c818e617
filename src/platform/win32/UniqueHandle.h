#pragma once
// The Win32 handle kinds of the one owner template.
#include "platform/win32/Win32Api.h"

#include "platform/UniqueHandle.h"

namespace orvitex::win32 {

// Closing keeps the last error, so a failure can still be read after cleanup.
template <typename Traits>
struct KeepingLastError : Traits {
    static void Close(typename Traits::Handle handle) {
        const DWORD lastError = GetLastError();
        Traits::Close(handle);
        SetLastError(lastError);
    }
};

template <typename Traits>
using UniqueHandle = platform::UniqueHandle<KeepingLastError<Traits>>;

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
