// Test entry for the Win32 tests. It says which system answers, so that a log
// shows whether the tests really ran under Wine.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

namespace {

const char* WineVersion() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll)
        return nullptr;
    using GetVersionFn = const char*(CDECL*)();
    auto get = reinterpret_cast<GetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    return get ? get() : nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const char* wine = WineVersion();
    if (wine) {
        std::printf("[win32] running under Wine %s\n", wine);
    } else {
        std::printf("[win32] running on Windows (not Wine)\n");
    }
    std::fflush(stdout);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
