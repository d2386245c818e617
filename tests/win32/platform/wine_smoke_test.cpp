#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace {

// The harness maps the Korean UI fonts to an installed one; without it every
// Hangul caption of the program would render as boxes.
TEST(WineSmoke, HarnessRegistersKoreanFontSubstitutes) {
    for (const wchar_t* font : {L"굴림", L"맑은 고딕"}) {
        wchar_t substitute[256] = {};
        DWORD size = sizeof substitute;
        RegGetValueW(HKEY_LOCAL_MACHINE,
                     L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", font,
                     RRF_RT_REG_SZ, nullptr, substitute, &size);
        EXPECT_EQ(std::wstring(substitute), L"NanumGothic");
    }
}

}  // namespace
