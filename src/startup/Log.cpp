#include "startup/Log.h"

#include "platform/Text.h"

namespace orvitex::startup {

Log::Log(const std::filesystem::path& file) : out_(file, std::ios::binary | std::ios::trunc) {}

void Log::Line(std::u16string_view text) {
    if (!out_.is_open()) {
        return;
    }
    out_ << ToUtf8(text) << '\n';
    out_.flush();
}

}  // namespace orvitex::startup
