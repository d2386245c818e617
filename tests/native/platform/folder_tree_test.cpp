#include "platform/FolderTree.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeFileSystem.h"

namespace orvitex::mdl시작 {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeFileSystem;
using ::testing::Not;
namespace attr = platform::attr;

// Step order of one folder: found as a folder, its attributes cleared, its entries
// enumerated and classified, its files deleted at once, its subfolders visited in
// order of discovery, and the folder itself removed last.
TEST(DeleteFolderTree, FollowsTheStepsInOrder) {
    FakeFileSystem files;
    files.AddFolder(u"C:\\X", attr::kReadOnly);
    files.AddFile(u"C:\\X\\a.ini", attr::kReadOnly);
    files.AddFolder(u"C:\\X\\B");
    files.AddFile(u"C:\\X\\B\\b.dll");
    files.AddFolder(u"C:\\X\\C");

    EXPECT_TRUE(DeleteFolderTree(files, u"C:\\X\\"));
    EXPECT_THAT(files.Log(), ElementsAreArray(std::vector<std::string>{
                                 "FindFirst C:\\X 22",
                                 "GetAttributes C:\\X",
                                 "SetAttributes C:\\X 0",
                                 "FindFirst C:\\X\\*.* 55",
                                 "GetAttributes C:\\X\\.",
                                 "GetAttributes C:\\X\\..",
                                 "GetAttributes C:\\X\\B",
                                 "GetAttributes C:\\X\\C",
                                 "GetAttributes C:\\X\\a.ini",
                                 "SetAttributes C:\\X\\a.ini 0",
                                 "DeleteFiles C:\\X\\*.*",
                                 "FindFirst C:\\X\\B 22",
                                 "GetAttributes C:\\X\\B",
                                 "SetAttributes C:\\X\\B 0",
                                 "FindFirst C:\\X\\B\\*.* 55",
                                 "GetAttributes C:\\X\\B\\.",
                                 "GetAttributes C:\\X\\B\\..",
                                 "GetAttributes C:\\X\\B\\b.dll",
                                 "SetAttributes C:\\X\\B\\b.dll 0",
                                 "DeleteFiles C:\\X\\B\\*.*",
                                 "RemoveDirectory C:\\X\\B",
                                 "FindFirst C:\\X\\C 22",
                                 "GetAttributes C:\\X\\C",
                                 "SetAttributes C:\\X\\C 0",
                                 "FindFirst C:\\X\\C\\*.* 55",
                                 "GetAttributes C:\\X\\C\\.",
                                 "GetAttributes C:\\X\\C\\..",
                                 "RemoveDirectory C:\\X\\C",
                                 "RemoveDirectory C:\\X",
                             }));
    EXPECT_FALSE(files.Has(u"C:\\X"));
}

TEST(DeleteFolderTree, DropsOneTrailingBackslashExceptAfterADrive) {
    struct Case {
        const char16_t* argument;
        const char* searched;
        const char* enumerated;
        const char* removed;
    };
    const Case cases[] = {
        {u"C:\\X\\", "FindFirst C:\\X 22", "FindFirst C:\\X\\*.* 55", "RemoveDirectory C:\\X"},
        {u"C:\\X", "FindFirst C:\\X 22", "FindFirst C:\\X\\*.* 55", "RemoveDirectory C:\\X"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.searched);
        FakeFileSystem files;
        files.AddFolder(u"C:\\X");
        EXPECT_TRUE(DeleteFolderTree(files, c.argument));
        ASSERT_GE(files.Log().size(), 4u);
        EXPECT_EQ(files.Log().front(), c.searched);
        EXPECT_EQ(files.Log()[3], c.enumerated);
        EXPECT_EQ(files.Log().back(), c.removed);
    }
}

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

TEST(DeleteFolderTree, ReturnsFalseAndChangesNothingWhenThePathIsNoFolder) {
    struct Case {
        const char* name;
        const char16_t* path;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"missing", u"C:\\Missing\\", {"FindFirst C:\\Missing 22"}},
        {"a file", u"C:\\X\\a.txt", {"FindFirst C:\\X\\a.txt 22", "GetAttributes C:\\X\\a.txt"}},
        {"a file with a backslash",
         u"C:\\X\\a.txt\\",
         {"FindFirst C:\\X\\a.txt 22", "GetAttributes C:\\X\\a.txt"}},
        {"inside a missing folder", u"C:\\Nowhere\\X", {"FindFirst C:\\Nowhere\\X 22"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem files;
        files.AddFolder(u"C:\\X");
        files.AddFile(u"C:\\X\\a.txt", attr::kReadOnly);
        EXPECT_FALSE(DeleteFolderTree(files, c.path));
        EXPECT_THAT(files.Log(), ElementsAreArray(c.log));
        EXPECT_EQ(files.AttributesOf(u"C:\\X\\a.txt"), attr::kReadOnly);
    }
}

TEST(DeleteFolderTree, FilesOfEveryAttributeAndHiddenOrSystemFoldersGo) {
    FakeFileSystem files;
    files.AddFolder(u"C:\\X", attr::kHidden | attr::kSystem);
    files.AddFile(u"C:\\X\\ro.dat", attr::kReadOnly);
    files.AddFile(u"C:\\X\\hidden.dat", attr::kHidden);
    files.AddFile(u"C:\\X\\system.dat", attr::kSystem | attr::kHidden | attr::kReadOnly);
    files.AddFile(u"C:\\X\\plain");
    files.AddFolder(u"C:\\X\\Hidden", attr::kHidden);
    files.AddFile(u"C:\\X\\Hidden\\h.dat", attr::kHidden);
    files.AddFolder(u"C:\\X\\Custom", attr::kSystem | attr::kReadOnly);
    files.AddFile(u"C:\\X\\Custom\\desktop.ini", attr::kSystem | attr::kHidden);

    EXPECT_TRUE(DeleteFolderTree(files, u"C:\\X"));
    EXPECT_FALSE(files.Has(u"C:\\X"));
    EXPECT_FALSE(files.Has(u"C:\\X\\Hidden\\h.dat"));
}

TEST(DeleteFolderTree, FolderOfOnlySubfoldersHasNoWildcardDelete) {
    FakeFileSystem files;
    files.AddFolder(u"C:\\X");
    files.AddFolder(u"C:\\X\\A");
    files.AddFolder(u"C:\\X\\A\\Deep");
    files.AddFile(u"C:\\X\\A\\Deep\\f.txt");

    EXPECT_TRUE(DeleteFolderTree(files, u"C:\\X"));
    EXPECT_THAT(files.Log(), Contains("DeleteFiles C:\\X\\A\\Deep\\*.*"));
    EXPECT_THAT(files.Log(), Not(Contains("DeleteFiles C:\\X\\*.*")));
    EXPECT_THAT(files.Log(), Not(Contains("DeleteFiles C:\\X\\A\\*.*")));
    EXPECT_FALSE(files.Has(u"C:\\X"));
}

// A held file stays, and so does every folder above it; its siblings and the
// other branches are still removed, and the result is true.
TEST(DeleteFolderTree, FileThatCannotBeDeletedKeepsItsAncestorsOnly) {
    FakeFileSystem files;
    files.AddFolder(u"C:\\X");
    files.AddFile(u"C:\\X\\top.txt");
    files.AddFolder(u"C:\\X\\A");
    files.AddFolder(u"C:\\X\\A\\B");
    files.AddFile(u"C:\\X\\A\\B\\held.dll");
    files.AddFile(u"C:\\X\\A\\B\\free.dll");
    files.AddFolder(u"C:\\X\\A\\C");
    files.AddFolder(u"C:\\X\\Z");
    files.AddFile(u"C:\\X\\Z\\z.txt");
    files.Lock(u"C:\\X\\A\\B\\held.dll");

    EXPECT_TRUE(DeleteFolderTree(files, u"C:\\X\\"));
    for (const char16_t* kept : {u"C:\\X", u"C:\\X\\A", u"C:\\X\\A\\B", u"C:\\X\\A\\B\\held.dll"}) {
        EXPECT_TRUE(files.Has(kept)) << ToUtf8(kept);
    }
    for (const char16_t* gone :
         {u"C:\\X\\top.txt", u"C:\\X\\A\\B\\free.dll", u"C:\\X\\A\\C", u"C:\\X\\Z"}) {
        EXPECT_FALSE(files.Has(gone)) << ToUtf8(gone);
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
