#pragma once
// An in-memory Windows file system that records every call in order. Folders,
// files and directory links are nodes keyed by their full path; a path through a
// link is resolved to the link's target, as the real system would.
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
    struct Node {
        std::uint32_t attributes = 0;
        std::u16string linkTarget;
        std::vector<std::byte> content;
    };

    FakeFileSystem() { nodes_[u"C:"] = {platform::attr::kDirectory, {}, {}}; }

    void AddFolder(const std::u16string& path, std::uint32_t attributes = 0) {
        nodes_[Key(path)] = {attributes | platform::attr::kDirectory, {}, {}};
    }
    void AddFile(const std::u16string& path, std::uint32_t attributes = platform::attr::kArchive) {
        nodes_[Key(path)] = {attributes, {}, {}};
    }
    // A junction or directory symbolic link; with directory false, a file link.
    void AddLink(const std::u16string& path, const std::u16string& target, bool directory = true) {
        const std::uint32_t kind = directory ? platform::attr::kDirectory : 0;
        nodes_[Key(path)] = {kind | platform::attr::kReparsePoint, Key(target), {}};
    }
    // A file that no delete can remove, as if another program held it open.
    void Lock(const std::u16string& path) { locked_.insert(Key(path)); }
    // The named operation ("FindFirst", "GetAttributes", ...) fails on this path.
    void FailOn(std::string operation, const std::u16string& path) {
        failures_.insert({std::move(operation), std::u16string(path)});
    }

    bool Has(const std::u16string& path) const { return nodes_.contains(Key(path)); }
    std::optional<std::uint32_t> AttributesOf(const std::u16string& path) const {
        const auto it = nodes_.find(Key(path));
        if (it == nodes_.end())
            return std::nullopt;
        return it->second.attributes;
    }
    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }

    std::u16string FindFirst(std::u16string_view pattern, std::uint32_t mask) override {
        Record("FindFirst", pattern, std::to_string(mask));
        found_.clear();
        if (Fails("FindFirst", pattern))
            return {};
        const std::u16string text(pattern);
        const auto slash = text.rfind(u'\\');
        const std::u16string folder = slash == std::u16string::npos ? u"" : text.substr(0, slash);
        const std::u16string last = slash == std::u16string::npos ? text : text.substr(slash + 1);
        if (last.empty() || last == u"*.*" || last == u"*") {
            ListFolder(Resolve(Key(folder)), mask);
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
        Record("GetAttributes", path);
        if (Fails("GetAttributes", path))
            return std::nullopt;
        const Node* node = Find(path);
        if (!node)
            return std::nullopt;
        return node->attributes;
    }
    bool SetAttributes(std::u16string_view path, std::uint32_t attributes) override {
        Record("SetAttributes", path, std::to_string(attributes));
        if (Fails("SetAttributes", path))
            return false;
        const auto it = nodes_.find(Resolve(Key(path), true));
        if (it == nodes_.end())
            return false;
        constexpr auto kKept = platform::attr::kDirectory | platform::attr::kReparsePoint;
        it->second.attributes = (it->second.attributes & kKept) | attributes;
        return true;
    }
    bool DeleteFiles(std::u16string_view pattern) override {
        Record("DeleteFiles", pattern);
        if (Fails("DeleteFiles", pattern))
            return false;
        const std::u16string text(pattern);
        const std::u16string folder = Resolve(Key(text.substr(0, text.rfind(u'\\'))));
        bool allDeleted = true;
        for (const auto& key : Children(folder)) {
            const Node& node = nodes_.at(key);
            if (node.attributes & platform::attr::kDirectory)
                continue;
            if (locked_.contains(key) || (node.attributes & platform::attr::kReadOnly)) {
                allDeleted = false;
            } else {
                nodes_.erase(key);
            }
        }
        return allDeleted;
    }
    bool RemoveDirectory(std::u16string_view path) override {
        Record("RemoveDirectory", path);
        if (Fails("RemoveDirectory", path))
            return false;
        const std::u16string key = Resolve(Key(path), false);
        const auto it = nodes_.find(key);
        if (it == nodes_.end() || !(it->second.attributes & platform::attr::kDirectory)) {
            return false;
        }
        const bool link = (it->second.attributes & platform::attr::kReparsePoint) != 0;
        if (!link && (!Children(key).empty() ||
                      (it->second.attributes & platform::attr::kReadOnly) || key.size() <= 2)) {
            return false;
        }
        nodes_.erase(it);
        return true;
    }
    bool MakeDirectory(std::u16string_view path) override {
        Record("MakeDirectory", path);
        if (Find(path))
            return false;
        AddFolder(Resolve(Key(path)));
        return true;
    }
    bool FileExists(std::u16string_view path) override {
        const Node* node = Find(path);
        return node && !(node->attributes & platform::attr::kDirectory);
    }
    bool DirectoryExists(std::u16string_view path) override {
        const Node* node = Find(path);
        return node && (node->attributes & platform::attr::kDirectory);
    }
    std::optional<std::vector<std::byte>> ReadWholeFile(std::u16string_view path) override {
        const Node* node = Find(path);
        if (!node || (node->attributes & platform::attr::kDirectory))
            return std::nullopt;
        return node->content;
    }
    bool DeleteFile(std::u16string_view path) override {
        Record("DeleteFile", path);
        const std::u16string key = Resolve(Key(path), false);
        if (!FileExists(path) || locked_.contains(key))
            return false;
        nodes_.erase(key);
        return true;
    }
    bool WriteWholeFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        Record("WriteWholeFile", path);
        const std::u16string key = Resolve(Key(path), false);
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
        Record("ReplaceFile", source, ToUtf8(target));
        const std::u16string from = Resolve(Key(source), false);
        if (Fails("ReplaceFile", source) || !FileExists(source) || DirectoryExists(target))
            return false;
        nodes_[Resolve(Key(target), false)] = nodes_.at(from);
        nodes_.erase(from);
        return true;
    }
    bool AppendToFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        const std::u16string key = Resolve(Key(path), false);
        if (DirectoryExists(path) || !DirectoryExists(key.substr(0, key.rfind(u'\\'))))
            return false;
        auto& content = nodes_[key].content;
        content.insert(content.end(), bytes.begin(), bytes.end());
        return true;
    }
    std::optional<std::uint64_t> freeBytes = std::uint64_t{1} << 40;
    std::optional<std::uint64_t> FreeBytes(std::u16string_view path) override {
        Record("FreeBytes", path);
        return freeBytes;
    }
    bool CanAddEntries(std::u16string_view folder) override {
        Record("CanAddEntries", folder);
        return DirectoryExists(folder) && !Fails("CanAddEntries", folder);
    }
    std::u16string ExecutableFolder() override { return u"C:\\Program Files\\Orvitex"; }

private:
    // Without trailing backslash, with "." and ".." folded as the system does.
    static std::u16string Key(std::u16string_view path) {
        std::vector<std::u16string> parts;
        std::u16string part;
        auto close = [&parts, &part] {
            if (part == u"..") {
                if (parts.size() > 1)
                    parts.pop_back();
            } else if (!part.empty() && part != u".") {
                parts.push_back(part);
            }
            part.clear();
        };
        for (const char16_t c : path) {
            if (c == u'\\') {
                close();
            } else {
                part += c;
            }
        }
        close();
        std::u16string key;
        for (const auto& p : parts)
            key += (key.empty() ? u"" : u"\\") + p;
        return key;
    }
    // Replaces every link on the way to the path by its target; the last component
    // itself stays a link unless throughLast is set.
    std::u16string Resolve(std::u16string key, bool throughLast = false) const {
        for (int depth = 0; depth < 32; ++depth) {
            bool changed = false;
            for (const auto& [linkKey, node] : nodes_) {
                if (node.linkTarget.empty())
                    continue;
                if (key.starts_with(linkKey + u'\\')) {
                    key = node.linkTarget + key.substr(linkKey.size());
                    changed = true;
                } else if (throughLast && key == linkKey) {
                    key = node.linkTarget;
                    changed = true;
                }
            }
            if (!changed)
                break;
        }
        return key;
    }
    const Node* Find(std::u16string_view path) const {
        const auto it = nodes_.find(Resolve(Key(path)));
        return it == nodes_.end() ? nullptr : &it->second;
    }
    std::vector<std::u16string> Children(const std::u16string& folder) const {
        std::vector<std::u16string> keys;
        const std::u16string prefix = folder + u'\\';
        for (auto it = nodes_.lower_bound(prefix); it != nodes_.end(); ++it) {
            if (!it->first.starts_with(prefix))
                break;
            if (it->first.find(u'\\', prefix.size()) == std::u16string::npos) {
                keys.push_back(it->first);
            }
        }
        return keys;
    }
    static bool Matches(std::uint32_t attributes, std::uint32_t mask) {
        constexpr auto kSelective =
            platform::attr::kHidden | platform::attr::kSystem | platform::attr::kDirectory;
        return (attributes & kSelective & ~mask) == 0;
    }
    void ListFolder(const std::u16string& folder, std::uint32_t mask) {
        const auto it = nodes_.find(folder);
        if (it == nodes_.end() || !(it->second.attributes & platform::attr::kDirectory))
            return;
        const bool root = folder.find(u'\\') == std::u16string::npos;
        if (!root && Matches(platform::attr::kDirectory, mask)) {
            found_.push_back(u".");
            found_.push_back(u"..");
        }
        for (const auto& key : Children(folder)) {
            if (Matches(nodes_.at(key).attributes, mask)) {
                found_.push_back(key.substr(folder.size() + 1));
            }
        }
    }
    bool Fails(const std::string& operation, std::u16string_view path) const {
        return failures_.contains({operation, std::u16string(path)});
    }
    void Record(const char* operation, std::u16string_view path, const std::string& extra = {}) {
        std::string line = std::string(operation) + ' ' + ToUtf8(path);
        if (!extra.empty())
            line += ' ' + extra;
        log_.push_back(std::move(line));
    }

    std::map<std::u16string, Node> nodes_;
    std::set<std::u16string> locked_;
    std::set<std::pair<std::string, std::u16string>> failures_;
    std::deque<std::u16string> found_;
    std::vector<std::string> log_;
};

}  // namespace orvitex::testing
