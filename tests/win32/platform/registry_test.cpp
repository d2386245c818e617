// The registry writer over the real registry of the Wine prefix, read back with
// the registry API. Every case starts from a wiped HKLM\SOFTWARE\OrvitexTest.
#include "platform/win32/Win32Api.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/RegistryWriter.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"
#include "platform/win32/Win32Registry.h"

namespace orvitex::win32 {
namespace {

using mdl레지스트리::RegistryValue;
using mdl레지스트리::WriteRegistryString;

constexpr const wchar_t* kTestKey = L"SOFTWARE\\OrvitexTest";
constexpr const wchar_t* kConnectTo = L"SOFTWARE\\OrvitexTest\\Client\\ConnectTo";
constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr REGSAM kView32 = KEY_WOW64_32KEY;

struct StoredValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};

std::u16string U16(const wchar_t* text) {
    return FromWide(text);
}

void WipeTestKey() {
    for (const REGSAM view : {kView64, kView32}) {
        UniqueHkey software;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view,
                                software.Receive()),
                  ERROR_SUCCESS);
        const LSTATUS status = RegDeleteTreeW(software.Get(), L"OrvitexTest");
        ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
    }
}

void CreateKey(const wchar_t* path, REGSAM view) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS | view,
                              nullptr, key.Receive(), nullptr),
              ERROR_SUCCESS);
}

bool KeyExists(const wchar_t* path, REGSAM view) {
    UniqueHkey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, key.Receive()) ==
           ERROR_SUCCESS;
}

std::optional<StoredValue> ReadValue(const wchar_t* path, const wchar_t* name,
                                     REGSAM view = kView64) {
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, key.Receive()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    StoredValue value;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    if (RegQueryValueExW(key.Get(), name, nullptr, &value.type, value.data.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

std::vector<BYTE> Utf16WithNul(const wchar_t* text) {
    const std::wstring wide(text);
    std::vector<BYTE> bytes;
    for (const wchar_t unit : wide) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>((unit >> 8) & 0xFF));
    }
    bytes.insert(bytes.end(), 2, 0);
    return bytes;
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { WipeTestKey(); }
    void TearDown() override { WipeTestKey(); }

    void Write(const wchar_t* path, const wchar_t* name, const RegistryValue& value,
               std::int32_t type) {
        WriteRegistryString(registry_, U16(path), U16(name), value, type);
    }

    Win32Registry registry_;
};

TEST_F(Registry, TextIsStoredAsUtf16WithItsTerminatingNul) {
    struct Case {
        const char* name;
        const wchar_t* valueName;
        RegistryValue value;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"tcp alias", L"127.0.0.1", u"DBMSSOCN,127.0.0.1,4181", L"DBMSSOCN,127.0.0.1,4181"},
        {"hangul name and text", L"\xC11C\xBC84", u"\xC624\xB974\xBE44\xC124\xCE58",
         L"\xC624\xB974\xBE44\xC124\xCE58"},
        {"number as decimal text", L"Port", 4181, L"4181"},
        {"nothing as empty text", L"Empty", RegistryValue(), L""},
        {"default value", L"", u"unnamed", L"unnamed"},
    };
    CreateKey(kConnectTo, kView64);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write(kConnectTo, c.valueName, c.value, 1);
        const auto stored = ReadValue(kConnectTo, c.valueName);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(stored->data, Utf16WithNul(c.expected));
    }
}

TEST_F(Registry, DwordIsStoredAsFourLittleEndianBytes) {
    struct Case {
        const char* name;
        RegistryValue value;
        std::vector<BYTE> expected;
    };
    const Case cases[] = {
        {"byte order", 0x12345678, {0x78, 0x56, 0x34, 0x12}},
        {"minus one", -1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"lowest", std::numeric_limits<std::int32_t>::min(), {0, 0, 0, 0x80}},
        {"highest", std::numeric_limits<std::int32_t>::max(), {0xFF, 0xFF, 0xFF, 0x7F}},
        {"numeric text", u" 42 ", {42, 0, 0, 0}},
    };
    CreateKey(kTestKey, kView64);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write(kTestKey, L"EnableLUA", c.value, 4);
        const auto stored = ReadValue(kTestKey, L"EnableLUA");
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(stored->data, c.expected);
    }
}

TEST_F(Registry, OtherTypesWriteNothing) {
    CreateKey(kTestKey, kView64);
    for (const std::int32_t type : {0, 2, 3, 7, 11, -1}) {
        SCOPED_TRACE(type);
        Write(kTestKey, L"Odd", u"text", type);
        EXPECT_FALSE(ReadValue(kTestKey, L"Odd"));
    }
}

// Each view holds its own copy of the key; a value lands in every view where the
// key exists, and a view without the key gets none.
TEST_F(Registry, EveryViewWhereTheKeyExistsIsWritten) {
    struct Case {
        const char* name;
        bool in64;
        bool in32;
    };
    const Case cases[] = {
        {"both views", true, true},
        {"64-bit view only", true, false},
        {"32-bit view only", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WipeTestKey();
        if (c.in64)
            CreateKey(kConnectTo, kView64);
        if (c.in32)
            CreateKey(kConnectTo, kView32);
        Write(kConnectTo, L"SVR", u"DBMSSOCN,127.0.0.1,4181", 1);
        for (const auto& [view, expected] : {std::pair{kView64, c.in64}, {kView32, c.in32}}) {
            EXPECT_EQ(KeyExists(kConnectTo, view), expected);
            const auto stored = ReadValue(kConnectTo, L"SVR", view);
            ASSERT_EQ(stored.has_value(), expected);
            if (stored) {
                EXPECT_EQ(stored->data, Utf16WithNul(L"DBMSSOCN,127.0.0.1,4181"));
            }
        }
    }
}

// Bugs caught: a view reported present that a SQL client of that bitness cannot
// see, or a probe that creates the key it asks about.
TEST_F(Registry, ProbeTellsEachViewApartAndCreatesNothing) {
    using platform::KeyAccess;
    struct Row {
        const char* name;
        std::vector<REGSAM> created;
        KeyAccess view64, view32;
    };
    const Row rows[] = {
        {"neither view", {}, KeyAccess::Missing, KeyAccess::Missing},
        {"64-bit view only", {kView64}, KeyAccess::Writable, KeyAccess::Missing},
        {"32-bit view only", {kView32}, KeyAccess::Missing, KeyAccess::Writable},
        {"both views", {kView64, kView32}, KeyAccess::Writable, KeyAccess::Writable},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        WipeTestKey();
        for (const REGSAM view : row.created) {
            CreateKey(kConnectTo, view);
        }
        const platform::KeyViews views = Win32Registry().ProbeMachineKey(U16(kConnectTo));
        EXPECT_EQ(views.view64, row.view64);
        EXPECT_EQ(views.view32, row.view32);
        EXPECT_EQ(KeyExists(kConnectTo, kView64), row.view64 == KeyAccess::Writable);
        EXPECT_EQ(KeyExists(kConnectTo, kView32), row.view32 == KeyAccess::Writable);
    }
}

}  // namespace
}  // namespace orvitex::win32
