#include "install/CentralDb.h"

namespace orvitex::install {

std::optional<std::u16string> CentralDbConnectionString(std::u16string_view path) {
    if (path.empty() || path.find_first_of(u";{}") != std::u16string_view::npos) {
        return std::nullopt;
    }
    std::u16string text = u"Driver={SQLite3};Database=";
    text += path;
    text += u";NoCreat=1";
    return text;
}

}  // namespace orvitex::install
