#include "platform/FolderTree.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeFileSystem.h"

namespace orvitex::mdl시작 {
namespace {

using testing::FakeFileSystem;
namespace attr = platform::attr;

// One wrong constant in a program with administrator rights must not empty a
// drive: a root is refused before the first call, a folder one level below is not.
// The fuzz target never names a root; it proves the rest of the contract.
TEST(DeleteFolderTree, RefusesADriveOrShareRootWithoutTouchingIt) {
    const std::vector<std::u16string> roots = {u"",
                                               u"C:\\",
                                               u"c:/",
                                               u"C:\\X\\..",
                                               u"\\\\server\\share",
                                               u"\\\\?\\C:\\",
                                               u"\\\\?\\UNC\\server\\share\\",
                                               u"\\\\.\\Volume{1}\\"};
    const std::vector<std::u16string> below = {u"C:\\X", u"C:X", u"\\\\server\\share\\X",
                                               u"\\\\?\\C:\\X", u"\\\\?\\UNC\\server\\share\\X"};
    for (const bool refused : {true, false}) {
        for (const auto& path : refused ? roots : below) {
            SCOPED_TRACE(ToUtf8(path));
            FakeFileSystem files;
            files.AddFolder(u"C:\\X");
            files.AddFile(u"C:\\X\\a.txt");
            const bool result = DeleteFolderTree(files, path);
            EXPECT_EQ(files.Log().empty(), refused);
            EXPECT_TRUE(!refused || (!result && files.Has(u"C:\\X\\a.txt")));
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

// A subfolder whose attributes cannot be read is taken for a file: cleared and
// left to the wildcard delete, never visited.
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
        {"the subfolder's attributes", "GetAttributes", u"C:\\X\\Sub", true, false},
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

}  // namespace
// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl시작
// clang-format on
