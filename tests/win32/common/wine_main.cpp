// Test entry for the Win32 tests. It says which system answers, so that a log
// shows whether the tests really ran under Wine.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
    using GetVersionFn = const char*(CDECL*)();
    const auto version = reinterpret_cast<GetVersionFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    std::printf("[win32] running %s%s\n", version ? "under Wine " : "on Windows (not Wine)",
                version ? version() : "");
    std::fflush(stdout);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
