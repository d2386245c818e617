#include "platform/FolderTree.h"

#include <algorithm>
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

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// The next component of a path and what follows its separators.
std::u16string_view NextComponent(std::u16string_view& rest) {
    while (!rest.empty() && IsSeparator(rest.front())) {
        rest.remove_prefix(1);
    }
    std::size_t end = 0;
    while (end < rest.size() && !IsSeparator(rest[end])) {
        ++end;
    }
    const std::u16string_view component = rest.substr(0, end);
    rest.remove_prefix(end);
    return component;
}

bool StartsWith(std::u16string_view path, std::u16string_view prefix) {
    const auto same = [](char16_t p, char16_t c) {
        return (IsSeparator(p) && IsSeparator(c)) || p == c ||
               (c >= u'a' && c <= u'z' && p == c - 32);
    };
    return path.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), path.begin(), same);
}

// The path after its root: "C:", "\", "\\server\share", "\\?\C:", "\\?\UNC\server\share".
std::u16string_view AfterRoot(std::u16string_view path) {
    int rootComponents = 0;
    if (StartsWith(path, u"\\\\?\\UNC\\") || StartsWith(path, u"\\\\.\\UNC\\")) {
        path.remove_prefix(8);
        rootComponents = 2;
    } else if (StartsWith(path, u"\\\\?\\") || StartsWith(path, u"\\\\.\\")) {
        path.remove_prefix(4);
        rootComponents = 1;
    } else if (StartsWith(path, u"\\\\")) {
        rootComponents = 2;
    } else if (path.size() >= 2 && path[1] == u':') {
        path.remove_prefix(2);
    }
    for (int i = 0; i < rootComponents; ++i) {
        (void)NextComponent(path);
    }
    return path;
}

// Whether a path names a folder below a drive or share root. ".." never climbs
// above the root, and Windows drops trailing dots and spaces, so "C:\..." is the
// root as well.
bool IsBelowRoot(std::u16string_view path) {
    std::u16string_view rest = AfterRoot(path);
    int depth = 0;
    while (!rest.empty()) {
        const std::u16string_view component = NextComponent(rest);
        if (component == u"..") {
            depth = std::max(depth - 1, 0);
        } else if (component.find_first_not_of(u". ") != std::u16string_view::npos) {
            ++depth;
        }
    }
    return depth > 0;
}

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
    // Run with administrator rights, a wrong constant must never empty a drive.
    if (!IsBelowRoot(path))
        return false;
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
