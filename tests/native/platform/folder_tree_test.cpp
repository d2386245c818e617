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
// Windows drops a name's trailing dots and spaces: "C:\. ." is the drive's root.
// The fuzz target never names a root; it proves the rest of the contract.
TEST(DeleteFolderTree, RefusesADriveOrShareRootWithoutTouchingIt) {
    const std::vector<std::u16string> roots = {
        u"C:\\",        u"\\\\server\\share",           u"C:\\X\\..",          u"c:/",
        u"\\\\?\\C:\\", u"\\\\?\\UNC\\server\\share\\", u"\\\\.\\Volume{1}\\", u"",
        u"C:\\. .",     u"\\\\server\\share\\...\\ "};
    const std::vector<std::u16string> below = {u"C:\\X",        u"C:X",
                                               u"C:\\X. ",      u"\\\\server\\share\\X",
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

// Bugs caught: a removal that follows a link inside the folder (emptying what it
// points to) or clears a file link's attributes (its target's); the links go.
TEST(DeleteFolderTree, LinksInsideGoWithoutWhatTheyPointTo) {
    FakeFileSystem files;
    files.AddFolder(u"C:\\Outside");
    files.AddFile(u"C:\\Outside\\keep.txt", attr::kReadOnly);
    files.AddFolder(u"C:\\X");
    files.AddLink(u"C:\\X\\Link", u"C:\\Outside");
    files.AddLink(u"C:\\X\\keep.lnk", u"C:\\Outside\\keep.txt", false);
    EXPECT_TRUE(DeleteFolderTree(files, u"C:\\X"));
    EXPECT_EQ(files.AttributesOf(u"C:\\Outside\\keep.txt"), attr::kReadOnly);
    EXPECT_FALSE(files.Has(u"C:\\X"));
}

// A failing step is ignored and the parent still removed where it can be; a
// subfolder whose attributes cannot be read is left to the wildcard delete. Only a
// subfolder that is no longer a folder when its turn comes makes the result false.
TEST(DeleteFolderTree, FailingStepsDoNotStopTheOthers) {
    const struct {
        const char* operation;
        const char16_t* path;
        bool result;
        std::vector<std::u16string> remaining;
    } cases[] = {
        {"SetAttributes", u"C:\\X", true, {u"X"}},
        {"SetAttributes", u"C:\\X\\f.txt", true, {u"X", u"f.txt"}},
        {"FindFirst", u"C:\\X\\*.*", true, {u"X", u"f.txt", u"A", u"B"}},
        {"DeleteFiles", u"C:\\X\\*.*", true, {u"X", u"f.txt"}},
        {"RemoveDirectory", u"C:\\X", true, {u"X"}},
        {"RemoveDirectory", u"C:\\X\\A", true, {u"X", u"A"}},
        {"GetAttributes", u"C:\\X\\A", true, {u"X", u"A"}},
        {"FindFirst", u"C:\\X\\A", false, {u"X", u"A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " " + ToUtf8(c.path));
        FakeFileSystem files;
        files.AddFolder(u"C:\\X", attr::kReadOnly);
        files.AddFile(u"C:\\X\\f.txt", attr::kReadOnly);
        files.AddFolder(u"C:\\X\\A");
        files.AddFolder(u"C:\\X\\B");
        files.FailOn(c.operation, c.path);
        EXPECT_EQ(DeleteFolderTree(files, u"C:\\X"), c.result);
        std::vector<std::u16string> remaining;
        for (const std::u16string name : {u"X", u"f.txt", u"A", u"B"}) {
            if (files.Has(name == u"X" ? u"C:\\X" : u"C:\\X\\" + name))
                remaining.push_back(name);
        }
        EXPECT_EQ(remaining, c.remaining);
        EXPECT_EQ(files.Log().back(), "RemoveDirectory C:\\X");
    }
}

}  // namespace
// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl시작
// clang-format on
