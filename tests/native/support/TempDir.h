#pragma once
// A fresh folder under the system's temporary folder, removed with everything in
// it when the owner goes.
#include <filesystem>
#include <string_view>

namespace orvitex::testing {

class TempDir {
public:
    explicit TempDir(std::string_view prefix = "orvitex-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path File(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace orvitex::testing
