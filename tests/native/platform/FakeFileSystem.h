#pragma once
// An in-memory Windows file system that records every call in order; a path
// through a link is resolved to the link's target, as the real system would.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace orvitex::testing {

class FakeFileSystem : public platform::FileSystem {
public:
    FakeFileSystem() { nodes_[u"C:"] = {kDir, {}, {}}; }

    void AddFolder(const std::u16string& path, std::uint32_t attributes = 0) {
        nodes_[Key(path)] = {attributes | kDir, {}, {}};
    }
    void AddFile(const std::u16string& path, std::uint32_t attributes = platform::attr::kArchive) {
        nodes_[Key(path)] = {attributes, {}, {}};
    }
    // A junction or directory symbolic link; with directory false, a file link.
    void AddLink(const std::u16string& path, const std::u16string& target, bool directory = true) {
        nodes_[Key(path)] = {
            (directory ? kDir : 0) | platform::attr::kReparsePoint, Key(target), {}};
    }
    // A file that no delete can remove, as if another program held it open.
    void Lock(const std::u16string& path) { locked_.insert(Key(path)); }
    // The named operation ("FindFirst", "GetAttributes", ...) fails on this path.
    void FailOn(std::string operation, const std::u16string& path) {
        failures_.insert({std::move(operation), path});
    }

    bool Has(const std::u16string& path) const { return nodes_.contains(Key(path)); }
    std::optional<std::uint32_t> AttributesOf(const std::u16string& path) const {
        const Node* node = At(Key(path));
        return node ? std::optional(node->attributes) : std::nullopt;
    }
    const std::vector<std::string>& Log() const { return log_; }

    std::u16string FindFirst(std::u16string_view pattern, std::uint32_t mask) override {
        found_.clear();
        if (Call("FindFirst", pattern, std::to_string(mask)))
            return {};
        const std::u16string text(pattern);
        const auto slash = text.rfind(u'\\');
        const std::u16string last = text.substr(slash + 1);  // npos + 1 is 0
        if (last.empty() || last == u"*.*" || last == u"*") {
            ListFolder(Resolve(Key(text.substr(0, slash == std::u16string::npos ? 0 : slash))),
                       mask);
        } else if (const Node* node = Find(text); node && Matches(node->attributes, mask)) {
            found_.push_back(last);
        }
        return FindNext();
    }
    std::u16string FindNext() override {
        if (found_.empty())
            return {};
        std::u16string name = std::move(found_.front());
        found_.pop_front();
        return name;
    }
    std::optional<std::uint32_t> GetAttributes(std::u16string_view path) override {
        const Node* node = Find(path);
        return Call("GetAttributes", path) || !node ? std::nullopt
                                                    : std::optional(node->attributes);
    }
    bool SetAttributes(std::u16string_view path, std::uint32_t attributes) override {
        const auto it = nodes_.find(Resolve(Key(path), true));
        if (Call("SetAttributes", path, std::to_string(attributes)) || it == nodes_.end())
            return false;
        constexpr auto kKept = kDir | platform::attr::kReparsePoint;
        it->second.attributes = (it->second.attributes & kKept) | attributes;
        return true;
    }
    bool DeleteFiles(std::u16string_view pattern) override {
        if (Call("DeleteFiles", pattern))
            return false;
        const std::u16string text(pattern);
        bool allDeleted = true;
        for (const auto& key : Children(Resolve(Key(text.substr(0, text.rfind(u'\\')))))) {
            const std::uint32_t attributes = nodes_.at(key).attributes;
            if (attributes & kDir)
                continue;
            if (locked_.contains(key) || (attributes & platform::attr::kReadOnly)) {
                allDeleted = false;
            } else {
                nodes_.erase(key);
            }
        }
        return allDeleted;
    }
    bool RemoveDirectory(std::u16string_view path) override {
        const std::u16string key = Resolve(Key(path));
        const auto it = nodes_.find(key);
        if (Call("RemoveDirectory", path) || it == nodes_.end() || !(it->second.attributes & kDir))
            return false;
        const std::uint32_t attributes = it->second.attributes;
        if (!(attributes & platform::attr::kReparsePoint) &&
            (!Children(key).empty() || (attributes & platform::attr::kReadOnly) || key.size() <= 2))
            return false;
        nodes_.erase(it);
        return true;
    }
    bool MakeDirectory(std::u16string_view path) override {
        Call("MakeDirectory", path);
        if (Find(path))
            return false;
        AddFolder(Resolve(Key(path)));
        return true;
    }
    bool FileExists(std::u16string_view path) override {
        const Node* node = Find(path);
        return node && !(node->attributes & kDir);
    }
    bool DirectoryExists(std::u16string_view path) override {
        const Node* node = Find(path);
        return node && (node->attributes & kDir);
    }
    std::optional<std::vector<std::byte>> ReadWholeFile(std::u16string_view path) override {
        if (!FileExists(path))
            return std::nullopt;
        return Find(path)->content;
    }
    bool DeleteFile(std::u16string_view path) override {
        Call("DeleteFile", path);
        const std::u16string key = Resolve(Key(path));
        return FileExists(path) && !locked_.contains(key) && nodes_.erase(key);
    }
    bool WriteWholeFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        Call("WriteWholeFile", path);
        const std::u16string key = Resolve(Key(path));
        if (DirectoryExists(path) || locked_.contains(key))
            return false;
        nodes_[key] = {platform::attr::kArchive, {}, {bytes.begin(), bytes.end()}};
        return true;
    }
    // FailOn("WriteFlushedFile", path) keeps the first half, as a full disk would.
    bool WriteFlushedFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        if (!Fails("WriteFlushedFile", path))
            return WriteWholeFile(path, bytes);
        static_cast<void>(WriteWholeFile(path, bytes.first(bytes.size() / 2)));
        return false;
    }
    bool ReplaceFile(std::u16string_view source, std::u16string_view target) override {
        const std::u16string from = Resolve(Key(source));
        if (Call("ReplaceFile", source, ToUtf8(target)) || !FileExists(source) ||
            DirectoryExists(target))
            return false;
        nodes_[Resolve(Key(target))] = nodes_.at(from);
        nodes_.erase(from);
        return true;
    }
    bool AppendToFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        const std::u16string key = Resolve(Key(path));
        if (DirectoryExists(path) || !DirectoryExists(key.substr(0, key.rfind(u'\\'))))
            return false;
        auto& content = nodes_[key].content;
        content.insert(content.end(), bytes.begin(), bytes.end());
        return true;
    }
    std::optional<std::uint64_t> freeBytes = std::uint64_t{1} << 40;
    std::optional<std::uint64_t> FreeBytes(std::u16string_view path) override {
        Call("FreeBytes", path);
        return freeBytes;
    }
    bool CanAddEntries(std::u16string_view folder) override {
        return !Call("CanAddEntries", folder) && DirectoryExists(folder);
    }
    std::u16string ExecutableFolder() override { return u"C:\\Program Files\\Orvitex"; }

private:
    struct Node {
        std::uint32_t attributes = 0;
        std::u16string linkTarget;
        std::vector<std::byte> content;
    };
    static constexpr std::uint32_t kDir = platform::attr::kDirectory;

    // Without trailing backslash, with "." and ".." folded as the system does.
    static std::u16string Key(std::u16string_view path) {
        std::vector<std::u16string_view> parts;
        for (std::size_t start = 0, end = 0; start <= path.size(); start = end + 1) {
            end = std::min(path.find(u'\\', start), path.size());
            const auto part = path.substr(start, end - start);
            if (part == u".." && parts.size() > 1)
                parts.pop_back();
            else if (!part.empty() && part != u"." && part != u"..")
                parts.push_back(part);
        }
        std::u16string key;
        for (const auto part : parts)
            key.append(key.empty() ? u"" : u"\\").append(part);
        return key;
    }
    // Replaces every link on the way to the path by its target; the last component
    // itself stays a link unless throughLast is set.
    std::u16string Resolve(std::u16string key, bool throughLast = false) const {
        for (int depth = 0; depth < 64; ++depth) {
            const auto link = std::find_if(nodes_.begin(), nodes_.end(), [&](const auto& node) {
                return !node.second.linkTarget.empty() &&
                       (key.starts_with(node.first + u'\\') || (throughLast && key == node.first));
            });
            if (link == nodes_.end())
                break;
            key = link->second.linkTarget + key.substr(link->first.size());
        }
        return key;
    }
    const Node* At(const std::u16string& key) const {
        const auto it = nodes_.find(key);
        return it == nodes_.end() ? nullptr : &it->second;
    }
    const Node* Find(std::u16string_view path) const { return At(Resolve(Key(path))); }
    std::vector<std::u16string> Children(const std::u16string& folder) const {
        std::vector<std::u16string> keys;
        const std::u16string prefix = folder + u'\\';
        for (auto it = nodes_.lower_bound(prefix); it != nodes_.end(); ++it) {
            if (!it->first.starts_with(prefix))
                break;
            if (it->first.find(u'\\', prefix.size()) == std::u16string::npos)
                keys.push_back(it->first);
        }
        return keys;
    }
    static bool Matches(std::uint32_t attributes, std::uint32_t mask) {
        constexpr auto kSelective = platform::attr::kHidden | platform::attr::kSystem | kDir;
        return (attributes & kSelective & ~mask) == 0;
    }
    void ListFolder(const std::u16string& folder, std::uint32_t mask) {
        const auto it = nodes_.find(folder);
        if (it == nodes_.end() || !(it->second.attributes & kDir))
            return;
        if (folder.find(u'\\') != std::u16string::npos && Matches(kDir, mask))
            found_.insert(found_.end(), {u".", u".."});
        for (const auto& key : Children(folder)) {
            if (Matches(nodes_.at(key).attributes, mask))
                found_.push_back(key.substr(folder.size() + 1));
        }
    }
    bool Fails(const std::string& operation, std::u16string_view path) const {
        return failures_.contains({operation, std::u16string(path)});
    }
    // Records the call; true when the test made it fail.
    bool Call(const char* operation, std::u16string_view path, const std::string& extra = {}) {
        log_.push_back(std::string(operation) + ' ' + ToUtf8(path) + (extra.empty() ? "" : " ") +
                       extra);
        return Fails(operation, path);
    }

    std::map<std::u16string, Node> nodes_;
    std::set<std::u16string> locked_;
    std::set<std::pair<std::string, std::u16string>> failures_;
    std::deque<std::u16string> found_;
    std::vector<std::string> log_;
};

}  // namespace orvitex::testing
