// Win32FileSystem over the real file system of the Wine prefix.
#include "platform/win32/Win32Api.h"

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/Text.h"
#include "platform/win32/Win32FileSystem.h"

namespace orvitex::win32 {
namespace {

using testing::TempFolder;
using Names = std::set<std::u16string>;

class FileSystem : public ::testing::Test {
protected:
    Names Search(const std::u16string& pattern, std::uint32_t mask) {
        Names names;
        for (auto name = files_.FindFirst(pattern, mask); !name.empty(); name = files_.FindNext()) {
            names.insert(name);
        }
        return names;
    }

    TempFolder temp_;
    Win32FileSystem files_;
};

// Entries without hidden, system or directory bits are always found; the others
// only when the mask holds each of their bits.
TEST_F(FileSystem, SearchAdmitsEntriesByTheMaskAsDirDoes) {
    temp_.File(L"plain.txt");
    temp_.File(L"ro.txt", FILE_ATTRIBUTE_READONLY);
    temp_.File(L"hid.txt", FILE_ATTRIBUTE_HIDDEN);
    temp_.File(L"sys.txt", FILE_ATTRIBUTE_SYSTEM);
    temp_.Folder(L"Dir");
    temp_.Folder(L"HidDir", FILE_ATTRIBUTE_HIDDEN);
    struct Case {
        std::uint32_t mask;
        Names expected;
    };
    const Names plain = {u"plain.txt", u"ro.txt"};
    const Case cases[] = {
        {0, plain},
        {1 | 32, plain},
        {2, {u"plain.txt", u"ro.txt", u"hid.txt"}},
        {4, {u"plain.txt", u"ro.txt", u"sys.txt"}},
        {16, {u"plain.txt", u"ro.txt", u"Dir", u".", u".."}},
        {16 | 2, {u"plain.txt", u"ro.txt", u"hid.txt", u"Dir", u"HidDir", u".", u".."}},
        {55, {u"plain.txt", u"ro.txt", u"hid.txt", u"sys.txt", u"Dir", u"HidDir", u".", u".."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        EXPECT_EQ(Search(temp_.Text(L"*.*"), c.mask), c.expected);
    }
    EXPECT_EQ(Search(temp_.Text() + u"\\", 0), plain);
}

TEST_F(FileSystem, SearchForOnePathFindsItsNameWhenTheMaskAdmitsIt) {
    temp_.Folder(L"X");
    temp_.Folder(L"H", FILE_ATTRIBUTE_HIDDEN);
    temp_.File(L"f.txt", FILE_ATTRIBUTE_READONLY);
    struct Case {
        const wchar_t* path;
        std::uint32_t mask;
        const char16_t* expected;
    };
    const Case cases[] = {
        {L"X", 16, u"X"},      {L"X", 0, u""},           {L"H", 16, u""},
        {L"H", 22, u"H"},      {L"f.txt", 0, u"f.txt"},  {L"f.txt", 16, u"f.txt"},
        {L"Missing", 16, u""}, {L"Missing\\X", 16, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(FromWide(c.path)) + " mask " + std::to_string(c.mask));
        EXPECT_EQ(files_.FindFirst(temp_.Text(c.path), c.mask), c.expected);
    }
}

TEST_F(FileSystem, NewSearchEndsTheLastAndAnEndedSearchStaysEmpty) {
    temp_.Folder(L"A");
    temp_.File(L"A\\a1");
    temp_.File(L"A\\a2");
    temp_.Folder(L"B");
    temp_.File(L"B\\b1");
    EXPECT_EQ(files_.FindNext(), u"");
    EXPECT_FALSE(files_.FindFirst(temp_.Text(L"A\\*"), 0).empty());
    EXPECT_EQ(files_.FindFirst(temp_.Text(L"B\\*"), 0), u"b1");
    EXPECT_EQ(files_.FindNext(), u"");
    EXPECT_EQ(files_.FindNext(), u"");
    EXPECT_EQ(files_.FindFirst(u"", 0), u"");
}

TEST_F(FileSystem, AttributesAreReadAndClearedToNormal) {
    temp_.File(L"f", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    temp_.Folder(L"D", FILE_ATTRIBUTE_READONLY);
    constexpr std::uint32_t kCleared =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    for (const wchar_t* path : {L"f", L"D"}) {
        SCOPED_TRACE(ToUtf8(FromWide(path)));
        ASSERT_TRUE(files_.SetAttributes(temp_.Text(path), 0));
        const auto attributes = files_.GetAttributes(temp_.Text(path));
        ASSERT_TRUE(attributes);
        EXPECT_EQ(*attributes & kCleared, 0u);
    }
    EXPECT_TRUE(*files_.GetAttributes(temp_.Text(L"D")) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(files_.GetAttributes(temp_.Text(L"missing")));
    EXPECT_FALSE(files_.SetAttributes(temp_.Text(L"missing"), 0));
}

TEST_F(FileSystem, WildcardDeleteRemovesMatchingFilesOnly) {
    temp_.File(L"a.tmp");
    temp_.File(L"b.tmp", FILE_ATTRIBUTE_HIDDEN);
    temp_.File(L"keep.dat");
    temp_.Folder(L"sub.tmp");
    EXPECT_TRUE(files_.DeleteFiles(temp_.Text(L"*.tmp")));
    EXPECT_FALSE(temp_.Exists(L"a.tmp"));
    EXPECT_FALSE(temp_.Exists(L"b.tmp"));
    EXPECT_TRUE(temp_.Exists(L"keep.dat"));
    EXPECT_TRUE(temp_.Exists(L"sub.tmp"));

    temp_.File(L"ro.dat", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(files_.DeleteFiles(temp_.Text(L"*.*")));
    EXPECT_FALSE(temp_.Exists(L"keep.dat"));
    EXPECT_TRUE(temp_.Exists(L"ro.dat"));

    EXPECT_TRUE(files_.DeleteFiles(temp_.Text(L"*.none")));
    EXPECT_FALSE(files_.DeleteFiles(temp_.Text(L"Missing\\*.*")));
}

TEST_F(FileSystem, FoldersAreMadeAndOnlyEmptyOnesRemoved) {
    const std::u16string folder = temp_.Text(L"\xC624\xB974\xBE44\xC124\xCE58");  // 오르비설치
    EXPECT_TRUE(files_.MakeDirectory(folder));
    EXPECT_FALSE(files_.MakeDirectory(folder));
    EXPECT_TRUE(files_.DirectoryExists(folder));
    EXPECT_FALSE(files_.FileExists(folder));
    ASSERT_TRUE(files_.WriteWholeFile(folder + u"\\f", {}));
    EXPECT_TRUE(files_.FileExists(folder + u"\\f"));
    EXPECT_FALSE(files_.DirectoryExists(folder + u"\\f"));
    EXPECT_FALSE(files_.RemoveDirectory(folder));
    EXPECT_TRUE(files_.DeleteFile(folder + u"\\f"));
    EXPECT_FALSE(files_.DeleteFile(folder + u"\\f"));
    EXPECT_TRUE(files_.RemoveDirectory(folder));
    EXPECT_FALSE(files_.DirectoryExists(folder));
    EXPECT_FALSE(files_.MakeDirectory(temp_.Text(L"Missing\\Deeper")));
}

TEST_F(FileSystem, WholeFilesRoundTripByteForByte) {
    std::vector<std::byte> big(3 * 1024 * 1024 + 7);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::byte>(i * 131 % 256);
    const std::vector<std::byte> small = {std::byte{0}, std::byte{'M'}, std::byte{'Z'},
                                          std::byte{0}};
    const std::u16string path = temp_.Text(L"\xC124\xCE58.exe");  // 설치.exe
    struct Case {
        const char* name;
        const std::vector<std::byte>* bytes;
    };
    const std::vector<std::byte> none;
    const Case cases[] = {{"large", &big}, {"shorter replaces", &small}, {"empty", &none}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(files_.WriteWholeFile(path, *c.bytes));
        const auto read = files_.ReadWholeFile(path);
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, *c.bytes);
    }
    EXPECT_FALSE(files_.ReadWholeFile(temp_.Text(L"missing")));
    EXPECT_FALSE(files_.ReadWholeFile(temp_.Text()));
    EXPECT_FALSE(files_.WriteWholeFile(temp_.Text(L"Missing\\f"), small));
}

// Bugs caught: a rename that refuses to replace a package, an append that
// truncates the run log, a flushed write reported as done when it was not.
TEST_F(FileSystem, FlushedWriteRenameAndAppend) {
    const std::vector<std::byte> bytes = {std::byte{'M'}, std::byte{'Z'}, std::byte{0}};
    const std::u16string part = temp_.Text(L"p.part");
    const std::u16string target = temp_.Text(L"\xC124\xCE58.exe");  // 설치.exe
    temp_.File(L"\xC124\xCE58.exe");
    ASSERT_TRUE(files_.WriteFlushedFile(part, bytes));
    ASSERT_TRUE(files_.ReplaceFile(part, target));
    EXPECT_EQ(files_.ReadWholeFile(target), bytes);
    EXPECT_FALSE(files_.FileExists(part));
    EXPECT_FALSE(files_.ReplaceFile(part, target));
    EXPECT_FALSE(files_.WriteFlushedFile(temp_.Text(L"Missing\\f"), bytes));

    const std::u16string log = temp_.Text(L"run.log");
    ASSERT_TRUE(files_.AppendToFile(log, bytes));
    ASSERT_TRUE(files_.AppendToFile(log, bytes));
    EXPECT_EQ(files_.ReadWholeFile(log)->size(), 2 * bytes.size());
}

TEST_F(FileSystem, WriteOverAFileHeldByAnotherFailsAndKeepsIt) {
    temp_.File(L"held.exe");
    UniqueFileHandle held(CreateFileW(temp_.Path(L"held.exe").c_str(), GENERIC_READ,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const std::vector<std::byte> bytes = {std::byte{1}, std::byte{2}};
    EXPECT_FALSE(files_.WriteWholeFile(temp_.Text(L"held.exe"), bytes));
    held.Reset();
    const auto read = files_.ReadWholeFile(temp_.Text(L"held.exe"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 4u);
}

TEST_F(FileSystem, ExecutableFolderIsTheFolderOfTheRunningProgram) {
    wchar_t module[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
    const std::u16string folder = files_.ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), u'\\');
    const std::u16string program = FromWide(module);
    EXPECT_EQ(program.substr(0, folder.size() + 1), folder + u"\\");
    EXPECT_EQ(program.find(u'\\', folder.size() + 1), std::u16string::npos);
}

// Bugs caught: a plain file taken for a folder the run could write into, a
// missing folder taken for a writable one, free space read from the wrong call.
TEST_F(FileSystem, FolderWritabilityAndFreeSpaceCreateNothing) {
    const std::u16string folder = temp_.Text();
    const std::u16string file = temp_.Text(L"plain.exe");
    ASSERT_TRUE(files_.WriteWholeFile(file, {}));
    EXPECT_TRUE(files_.CanAddEntries(folder));
    EXPECT_FALSE(files_.CanAddEntries(file));
    EXPECT_FALSE(files_.CanAddEntries(folder + u"\\missing"));
    EXPECT_FALSE(files_.DirectoryExists(folder + u"\\missing"));
    const auto free = files_.FreeBytes(folder);
    ASSERT_TRUE(free.has_value());
    EXPECT_GT(*free, 0u);
    EXPECT_FALSE(files_.FreeBytes(folder + u"\\missing\\deeper").has_value());
}

}  // namespace
}  // namespace orvitex::win32
