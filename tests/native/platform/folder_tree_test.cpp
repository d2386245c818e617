#include "platform/FolderTree.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeFileSystem.h"

namespace orvitex::mdl시작 {
namespace {

using ::testing::Contains;
using testing::FakeFileSystem;
using ::testing::Not;
namespace attr = platform::attr;

// One wrong constant in a program with administrator rights must not empty a
// drive: a root is refused before the first call, a folder one level below is not.
TEST(DeleteFolderTree, RefusesADriveOrShareRootWithoutTouchingIt) {
    struct Case {
        const char16_t* path;
        bool refused;
    };
    const Case cases[] = {
        {u"", true},
        {u"C:", true},
        {u"C:\\", true},
        {u"c:/", true},
        {u"\\", true},
        {u"C:\\X\\..", true},
        {u"C:\\..\\..", true},
        {u"C:\\ . \\...", true},
        {u"\\\\server\\share\\", true},
        {u"\\\\server\\share", true},
        {u"\\\\?\\C:\\", true},
        {u"\\\\?\\UNC\\server\\share\\", true},
        {u"\\\\.\\Volume{1}\\", true},
        {u"C:\\Orvitex\\", false},
        {u"C:\\X", false},
        {u"C:X", false},
        {u"\\\\server\\share\\X", false},
        {u"\\\\?\\C:\\X", false},
        {u"\\\\?\\UNC\\server\\share\\X", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        FakeFileSystem files;
        files.AddFolder(u"C:\\X");
        files.AddFile(u"C:\\X\\a.txt");
        const bool result = DeleteFolderTree(files, c.path);
        EXPECT_EQ(files.Log().empty(), c.refused);
        if (c.refused) {
            EXPECT_FALSE(result);
            EXPECT_TRUE(files.Has(u"C:\\X\\a.txt"));
        }
    }
}

// A subfolder that is no longer a folder when its turn comes makes the result
// false, but the loop goes on and the parent is still removed where it can be.
TEST(DeleteFolderTree, FalseFromOneSubfolderDoesNotStopTheOthers) {
    FakeFileSystem files;
    files.AddFolder(u"C:\\X");
    files.AddFolder(u"C:\\X\\A");
    files.AddFolder(u"C:\\X\\B");
    files.AddFolder(u"C:\\X\\C");
    files.FailOn("FindFirst", u"C:\\X\\A");

    EXPECT_FALSE(DeleteFolderTree(files, u"C:\\X"));
    EXPECT_TRUE(files.Has(u"C:\\X\\A"));
    EXPECT_FALSE(files.Has(u"C:\\X\\B"));
    EXPECT_FALSE(files.Has(u"C:\\X\\C"));
    EXPECT_EQ(files.Log().back(), "RemoveDirectory C:\\X");
}

TEST(DeleteFolderTree, FailingStepsAreIgnored) {
    struct Case {
        const char* name;
        const char* operation;
        const char16_t* path;
        bool folderRemains;
        bool fileRemains;
    };
    const Case cases[] = {
        {"clearing the folder's attributes", "SetAttributes", u"C:\\X", true, false},
        {"clearing a file's attributes", "SetAttributes", u"C:\\X\\f.txt", true, true},
        {"enumeration", "FindFirst", u"C:\\X\\*.*", true, true},
        {"wildcard delete", "DeleteFiles", u"C:\\X\\*.*", true, true},
        {"removing the folder", "RemoveDirectory", u"C:\\X", true, false},
        {"removing the subfolder", "RemoveDirectory", u"C:\\X\\Sub", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem files;
        files.AddFolder(u"C:\\X", attr::kReadOnly);
        files.AddFile(u"C:\\X\\f.txt", attr::kReadOnly);
        files.AddFolder(u"C:\\X\\Sub");
        files.FailOn(c.operation, c.path);
        EXPECT_TRUE(DeleteFolderTree(files, u"C:\\X"));
        EXPECT_EQ(files.Has(u"C:\\X"), c.folderRemains);
        EXPECT_EQ(files.Has(u"C:\\X\\f.txt"), c.fileRemains);
        EXPECT_EQ(files.Log().back(), "RemoveDirectory C:\\X");
    }
}

// An entry whose attributes cannot be read is taken for a file: it is cleared as
// far as possible and the wildcard delete runs, but it is never visited.
TEST(DeleteFolderTree, EntryWithUnreadableAttributesIsHandledAsAFile) {
    FakeFileSystem files;
    files.AddFolder(u"C:\\X");
    files.AddFolder(u"C:\\X\\Sub");
    files.AddFile(u"C:\\X\\Sub\\s.txt");
    files.FailOn("GetAttributes", u"C:\\X\\Sub");

    EXPECT_TRUE(DeleteFolderTree(files, u"C:\\X"));
    EXPECT_THAT(files.Log(), Contains("SetAttributes C:\\X\\Sub 0"));
    EXPECT_THAT(files.Log(), Contains("DeleteFiles C:\\X\\*.*"));
    EXPECT_THAT(files.Log(), Not(Contains("FindFirst C:\\X\\Sub 22")));
    EXPECT_TRUE(files.Has(u"C:\\X\\Sub\\s.txt"));
    EXPECT_TRUE(files.Has(u"C:\\X"));
}

// Following a link would empty a folder outside the tree; only the link goes.
TEST(DeleteFolderTree, LinksInsideTheTreeAreRemovedNotFollowed) {
    FakeFileSystem files;
    files.AddFolder(u"C:\\Outside", attr::kReadOnly);
    files.AddFile(u"C:\\Outside\\keep.txt", attr::kReadOnly);
    files.AddFolder(u"C:\\Outside\\Sub");
    files.AddFolder(u"C:\\X");
    files.AddFolder(u"C:\\X\\Real");
    files.AddLink(u"C:\\X\\Real\\Junction", u"C:\\Outside");
    files.AddLink(u"C:\\X\\FileLink", u"C:\\Outside\\keep.txt", false);

    EXPECT_TRUE(DeleteFolderTree(files, u"C:\\X"));
    EXPECT_FALSE(files.Has(u"C:\\X"));
    EXPECT_TRUE(files.Has(u"C:\\Outside\\keep.txt"));
    EXPECT_TRUE(files.Has(u"C:\\Outside\\Sub"));
    EXPECT_EQ(files.AttributesOf(u"C:\\Outside\\keep.txt"), attr::kReadOnly);
    EXPECT_EQ(files.AttributesOf(u"C:\\Outside"), attr::kReadOnly | attr::kDirectory);
    EXPECT_THAT(files.Log(), Contains("RemoveDirectory C:\\X\\Real\\Junction"));
    EXPECT_THAT(files.Log(), Not(Contains("FindFirst C:\\X\\Real\\Junction 22")));
    EXPECT_THAT(files.Log(), Not(Contains("SetAttributes C:\\X\\FileLink 0")));
}

}  // namespace
// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl시작
// clang-format on
