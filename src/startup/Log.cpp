#include "startup/Log.h"

#include "platform/Text.h"

namespace orvitex::startup {

// Every line goes to the end of the file, even when another copy of the program
// adds to the same file meanwhile.
Log::Log(const std::filesystem::path& file, bool append) {
    if (!append) {
        std::ofstream(file, std::ios::binary | std::ios::trunc).close();
    }
    out_.open(file, std::ios::binary | std::ios::app);
}

void Log::Line(std::u16string_view text) {
    if (!out_.is_open()) {
        return;
    }
    out_ << ToUtf8(text) << '\n';
    out_.flush();
}

}  // namespace orvitex::startup
