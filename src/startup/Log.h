#pragma once
// The program's optional log: UTF-8 lines, flushed as they are written so that
// a program that ends at once loses nothing.
#include <filesystem>
#include <fstream>
#include <string_view>

namespace orvitex::startup {

class Log {
public:
    Log() = default;  // writes nowhere
    // Creates or truncates the file, or with append adds to its end; IsOpen() tells
    // whether that worked.
    explicit Log(const std::filesystem::path& file, bool append = false);
    [[nodiscard]] bool IsOpen() const { return out_.is_open(); }
    void Line(std::u16string_view text);

private:
    std::ofstream out_;
};

}  // namespace orvitex::startup
