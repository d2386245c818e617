// Input: a tree of folders, files (some read-only, hidden, system or locked) and
// links pointing anywhere, then the folder to delete. DeleteFolderTree must leave
// everything outside the folder as it was, answer true exactly when the folder
// existed as a folder, and, where nothing inside is locked, leave nothing behind.
#include <string>
#include <vector>

#include "FakeFileSystem.h"
#include "FuzzSupport.h"
#include "platform/FolderTree.h"

namespace {

namespace attr = orvitex::platform::attr;
using orvitex::fuzz::Require;
using orvitex::testing::FakeFileSystem;

constexpr const char16_t* kNames[] = {u"a", u"b", u"Orvitex", u"bin", u"한글", u"x.ini", u"y"};
constexpr std::uint32_t kAttributeBits[] = {attr::kReadOnly, attr::kHidden, attr::kSystem,
                                            attr::kArchive};

struct Entry {
    std::u16string path;
    bool locked = false;
};

struct Tree {
    FakeFileSystem files;
    std::vector<Entry> entries;
    std::vector<std::u16string> folders{u"C:"};  // no link on the way to any of them
};

std::uint32_t ConsumeAttributes(FuzzedDataProvider& data) {
    std::uint32_t bits = 0;
    const auto chosen = data.ConsumeIntegral<std::uint8_t>();
    for (std::size_t i = 0; i < std::size(kAttributeBits); ++i) {
        if (chosen & (1u << i))
            bits |= kAttributeBits[i];
    }
    return bits;
}

void AddEntry(Tree& tree, FuzzedDataProvider& data) {
    const auto& parent =
        tree.folders[data.ConsumeIntegralInRange<std::size_t>(0, tree.folders.size() - 1)];
    const std::u16string path = parent + u"\\" + data.PickValueInArray(kNames);
    if (tree.files.Has(path))
        return;
    Entry entry{path};
    switch (data.ConsumeIntegralInRange(0, 3)) {
        case 0:
            tree.files.AddFolder(path, ConsumeAttributes(data));
            tree.folders.push_back(path);
            break;
        case 1:
            tree.files.AddFile(path, ConsumeAttributes(data));
            entry.locked = data.ConsumeBool();
            if (entry.locked)
                tree.files.Lock(path);
            break;
        default: {
            // A link to any entry made so far, or to a path that does not exist.
            const std::size_t pick =
                data.ConsumeIntegralInRange<std::size_t>(0, tree.entries.size());
            const std::u16string target =
                pick < tree.entries.size() ? tree.entries[pick].path : u"C:\\gone";
            tree.files.AddLink(path, target, data.ConsumeBool());
            break;
        }
    }
    tree.entries.push_back(entry);
}

bool IsInside(const std::u16string& path, const std::u16string& folder) {
    return path == folder || path.starts_with(folder + u"\\");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    Tree tree;
    const int count = data.ConsumeIntegralInRange(0, 48);
    for (int i = 0; i < count; ++i)
        AddEntry(tree, data);
    // The folder: one of the entries (of any kind) or one that does not exist.
    const std::size_t pick = data.ConsumeIntegralInRange<std::size_t>(0, tree.entries.size());
    const std::u16string folder =
        pick < tree.entries.size() ? tree.entries[pick].path : u"C:\\none";
    const bool trailing = data.ConsumeBool();

    std::vector<std::optional<std::uint32_t>> before;
    for (const auto& e : tree.entries)
        before.push_back(tree.files.AttributesOf(e.path));
    const auto own = tree.files.AttributesOf(folder);
    const bool wasFolder = own && (*own & attr::kDirectory) != 0;

    const bool result =
        orvitex::mdl시작::DeleteFolderTree(tree.files, folder + (trailing ? u"\\" : u""));

    Require(result == wasFolder, "true exactly when the folder existed as a folder", folder);
    bool lockedInside = false;
    for (std::size_t i = 0; i < tree.entries.size(); ++i) {
        const auto& e = tree.entries[i];
        if (!IsInside(e.path, folder)) {
            Require(tree.files.AttributesOf(e.path) == before[i], "nothing outside is touched",
                    e.path);
        }
        lockedInside = lockedInside || (e.locked && IsInside(e.path, folder));
    }
    if (wasFolder && !lockedInside) {
        for (const auto& e : tree.entries)
            Require(!IsInside(e.path, folder) || !tree.files.Has(e.path),
                    "nothing is left where nothing was locked", e.path);
    }
    return 0;
}
