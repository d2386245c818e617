// The picture a failed run leaves for the technician, saved through the real GDI and
// imaging component of Wine.
#include "platform/win32/Win32Api.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/ScreenPicture.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

std::u16string TempPath(std::u16string_view name) {
    wchar_t folder[MAX_PATH]{};
    GetTempPathW(MAX_PATH, folder);
    return FromWide(folder) + std::u16string(name);
}

std::vector<unsigned char> ReadAll(const std::u16string& path) {
    std::ifstream in(Wide(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian(const std::vector<unsigned char>& bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

// Bug caught: a picture of one monitor or of the program's own DPI-scaled view, a file
// that is not a PNG, or a failure that leaves a broken file or reports success.
TEST(ScreenPicture, IsAPngOfTheWholeVirtualScreenOrNothingWithItsReason) {
    const std::u16string path = TempPath(u"orvitex-screen.png");
    DeleteFileW(Wide(path));
    ASSERT_EQ(SaveScreenPicture(path), std::nullopt);
    const auto png = ReadAll(path);
    ASSERT_GT(png.size(), 33U);
    const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), png.begin()));
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndian(png, 16), static_cast<std::uint32_t>(GetSystemMetrics(SM_CXVIRTUALSCREEN)));
    EXPECT_EQ(BigEndian(png, 20), static_cast<std::uint32_t>(GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    DeleteFileW(Wide(path));

    const std::u16string nowhere = TempPath(u"orvitex-no-such-folder\\screen.png");
    const auto reason = SaveScreenPicture(nowhere);
    ASSERT_TRUE(reason.has_value());
    EXPECT_NE(reason->find(u"could not be saved"), std::u16string::npos);
    EXPECT_EQ(GetFileAttributesW(Wide(nowhere)), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace orvitex::win32
