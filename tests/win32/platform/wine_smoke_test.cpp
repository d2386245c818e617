#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace {

std::wstring ReadMachineString(const wchar_t* key, const wchar_t* name) {
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return buffer;
}

// The harness maps the Korean UI fonts to an installed one; without it every
// Hangul caption of the program would render as boxes.
TEST(WineSmoke, HarnessRegistersKoreanFontSubstitutes) {
    const wchar_t* key = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
    EXPECT_EQ(ReadMachineString(key, L"\xAD74\xB9BC"), L"NanumGothic");               // 굴림
    EXPECT_EQ(ReadMachineString(key, L"\xB9D1\xC740 \xACE0\xB515"), L"NanumGothic");  // 맑은 고딕
}

TEST(WineSmoke, ProgramRunsAsSixtyFourBitProcess) {
    BOOL wow64 = TRUE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_FALSE(wow64);
    EXPECT_EQ(sizeof(void*), 8u);
}

}  // namespace
