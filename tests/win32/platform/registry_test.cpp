// The registry writer over the real registry of the Wine prefix, read back with
// the registry API. Every case starts from a wiped HKLM\SOFTWARE\OrvitexTest.
#include "platform/win32/Win32Api.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/RegistryWriter.h"
#include "platform/Text.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"
#include "platform/win32/Win32Registry.h"

namespace orvitex::win32 {
namespace {

using mdl레지스트리::RegistryValue;
using platform::KeyAccess;

constexpr const wchar_t* kKey = L"SOFTWARE\\OrvitexTest\\Client\\ConnectTo";
constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr REGSAM kView32 = KEY_WOW64_32KEY;

struct Stored {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const Stored&) const = default;
};

Stored Text(std::u16string_view text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    Stored stored{REG_SZ, {bytes, bytes + text.size() * 2}};
    stored.data.insert(stored.data.end(), 2, 0);
    return stored;
}

// nullopt when the key or the value is missing.
std::optional<Stored> Read(const wchar_t* name, REGSAM view = kView64) {
    UniqueHkey key;
    Stored value{0, std::vector<BYTE>(512)};
    DWORD size = 512;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | view, key.Receive()) !=
            ERROR_SUCCESS ||
        RegQueryValueExW(key.Get(), name, nullptr, &value.type, value.data.data(), &size) !=
            ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { Wipe(); }
    void TearDown() override { Wipe(); }

    void Wipe() {
        for (const REGSAM view : {kView64, kView32}) {
            UniqueHkey software;
            ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view,
                                    software.Receive()),
                      ERROR_SUCCESS);
            const LSTATUS status = RegDeleteTreeW(software.Get(), L"OrvitexTest");
            ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
        }
    }
    void Create(REGSAM view) {
        UniqueHkey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                  nullptr, key.Receive(), nullptr),
                  ERROR_SUCCESS);
    }
    void Write(const wchar_t* name, const RegistryValue& value, std::int32_t type) {
        mdl레지스트리::WriteRegistryString(registry_, FromWide(kKey), FromWide(name), value, type);
    }

    Win32Registry registry_;
};

// Bugs caught: text without its terminating nul or not in UTF-16, a number not
// written as decimal text, a DWORD in the wrong byte order or sign, a value of
// another type written at all.
TEST_F(Registry, ValuesAreStoredAsTheirTypeSays) {
    Create(kView64);
    const struct {
        const wchar_t* name;
        RegistryValue value;
        std::int32_t type;
        std::optional<Stored> expected;
    } rows[] = {
        {L"127.0.0.1", u"DBMSSOCN,127.0.0.1,4181", 1, Text(u"DBMSSOCN,127.0.0.1,4181")},
        {L"서버", u"오르비설치", 1, Text(u"오르비설치")},
        {L"Port", 4181, 1, Text(u"4181")},
        {L"Nothing", RegistryValue(), 1, Text(u"")},
        {L"", u"unnamed", 1, Text(u"unnamed")},
        {L"Order", 0x12345678, 4, Stored{REG_DWORD, {0x78, 0x56, 0x34, 0x12}}},
        {L"MinusOne", -1, 4, Stored{REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}}},
        {L"Lowest", std::numeric_limits<std::int32_t>::min(), 4,
         Stored{REG_DWORD, {0, 0, 0, 0x80}}},
        {L"NumericText", u" 42 ", 4, Stored{REG_DWORD, {42, 0, 0, 0}}},
        {L"Binary", u"text", 3, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(ToUtf8(FromWide(row.name)));
        Write(row.name, row.value, row.type);
        EXPECT_EQ(Read(row.name), row.expected);
    }
}

// Each view holds its own copy of the key, and a SQL client of either bitness
// reads only its own. Bugs caught: a view reported present that is missing, a
// probe or a write that creates the key, a write that misses a view, a 32-bit
// program that reaches only the view WOW64 redirects it to.
TEST_F(Registry, EachViewIsProbedAndWrittenOnItsOwn) {
    const struct {
        const char* name;
        bool in64, in32;
    } rows[] = {{"neither", false, false},
                {"64-bit view only", true, false},
                {"32-bit view only", false, true},
                {"both views", true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Wipe();
        if (row.in64)
            Create(kView64);
        if (row.in32)
            Create(kView32);
        const platform::KeyViews views = registry_.ProbeMachineKey(FromWide(kKey));
        EXPECT_EQ(views.view64, row.in64 ? KeyAccess::Writable : KeyAccess::Missing);
        EXPECT_EQ(views.view32, row.in32 ? KeyAccess::Writable : KeyAccess::Missing);
        EXPECT_FALSE(views.oneView);  // the prefix is 64-bit Windows, for either width
        Write(L"SVR", u"DBMSSOCN,127.0.0.1,4181", 1);
        for (const auto& [view, present] : {std::pair{kView64, row.in64}, {kView32, row.in32}}) {
            UniqueHkey key;
            EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | view, key.Receive()),
                      present ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
            EXPECT_EQ(Read(L"SVR", view),
                      present ? Text(u"DBMSSOCN,127.0.0.1,4181") : std::optional<Stored>());
        }
    }
}

}  // namespace
}  // namespace orvitex::win32
