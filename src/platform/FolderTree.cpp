#include "platform/FolderTree.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace orvitex::mdl시작 {
namespace {

namespace attr = platform::attr;

// Hidden and system folders count as existing folders too.
constexpr std::uint32_t kFolderSearchMask = attr::kDirectory | attr::kHidden | attr::kSystem;
constexpr std::uint32_t kEntryMask =
    attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kDirectory | attr::kArchive;  // 55

struct Subfolder {
    std::u16string path;
    bool isLink = false;
};

struct FolderContents {
    bool hasFiles = false;
    std::vector<Subfolder> subfolders;
};

bool IsLink(std::uint32_t attributes) {
    return (attributes & attr::kReparsePoint) != 0;
}

// The enumeration is finished before anything found in it is touched: the search
// holds one enumeration at a time, and every visit starts a new one.
FolderContents Enumerate(platform::FileSystem& files, std::u16string_view base) {
    FolderContents contents;
    const std::u16string prefix = std::u16string(base) + u'\\';
    for (std::u16string name = files.FindFirst(prefix + u"*.*", kEntryMask); !name.empty();
         name = files.FindNext()) {
        const std::u16string entry = prefix + name;
        const auto attributes = files.GetAttributes(entry);
        if (!attributes || (*attributes & attr::kDirectory) == 0) {
            contents.hasFiles = true;
            // Clearing a file link's attributes would change its target instead.
            if (!attributes || !IsLink(*attributes)) {
                (void)files.SetAttributes(entry, attr::kNormal);
            }
        } else if (name != u"." && name != u"..") {
            contents.subfolders.push_back({entry, IsLink(*attributes)});
        }
    }
    return contents;
}

}  // namespace

bool DeleteFolderTree(platform::FileSystem& files, std::u16string path) {
    if (path.ends_with(u'\\') && !path.ends_with(u":\\"))
        path.pop_back();

    if (files.FindFirst(path, kFolderSearchMask).empty())
        return false;
    const auto attributes = files.GetAttributes(path);
    if (!attributes || (*attributes & attr::kDirectory) == 0)
        return false;
    // A link given as the folder goes itself; what it points to is outside the folder.
    if (IsLink(*attributes)) {
        (void)files.RemoveDirectory(path);
        return true;
    }
    (void)files.SetAttributes(path, attr::kNormal);

    std::u16string_view base = path;
    if (base.ends_with(u'\\'))
        base.remove_suffix(1);
    const FolderContents contents = Enumerate(files, base);
    if (contents.hasFiles)
        (void)files.DeleteFiles(std::u16string(base) + u"\\*.*");

    bool result = true;
    for (const Subfolder& subfolder : contents.subfolders) {
        if (subfolder.isLink) {
            (void)files.RemoveDirectory(subfolder.path);
        } else {
            result = DeleteFolderTree(files, subfolder.path) && result;
        }
    }
    (void)files.RemoveDirectory(path);
    return result;
}

// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl시작
// clang-format on
