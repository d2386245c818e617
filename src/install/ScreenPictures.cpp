#include "install/ScreenPictures.h"

#include <algorithm>

#include "install/Packages.h"
#include "platform/Text.h"

namespace orvitex::install {
std::u16string ScreenPicturePath(std::u16string_view time, std::u16string_view subject) {
    return std::u16string(kInstallFolder) + u"\\orvitex-setup-" + std::u16string(time) + u"-" +
           std::u16string(subject) + u".png";
}

std::u16string PictureSubject(std::u16string_view programFile) {
    std::u16string_view name = programFile.substr(programFile.find_last_of(u"\\/") + 1);
    if (name.size() > 4 && AsciiLower(name.substr(name.size() - 4)) == u".exe")
        name.remove_suffix(4);
    return std::u16string(name);
}

// Two pictures of one subject within a second get told apart by a number.
std::u16string ScreenPictures::FreePath(std::u16string_view subject) const {
    const std::u16string time = LocalTime("%Y%m%d-%H%M%S");
    std::u16string path = ScreenPicturePath(time, subject);
    for (int n = 2; std::ranges::any_of(kept_, [&](const auto& p) { return p.path == path; });
         ++n) {
        path = ScreenPicturePath(time, std::u16string(subject) + u"-" + ToText(std::int64_t{n}));
    }
    return path;
}

void ScreenPictures::Take(std::u16string_view subject, std::u16string_view why) {
    if (tried_ == kMaxScreenPictures) {
        log_.Line(u"screen picture not taken (" + std::u16string(why) + u"): already " +
                  ToText(std::int64_t{kMaxScreenPictures}) + u" in this run");
        return;
    }
    ++tried_;
    const std::u16string path = FreePath(subject);
    if (const auto failure = desktop_.SaveScreenPicture(path)) {
        log_.Line(u"screen picture not taken (" + std::u16string(why) + u"): " + *failure);
        return;
    }
    kept_.push_back({path, std::u16string(why)});
    log_.Line(u"screen picture (" + std::u16string(why) + u"): " + path);
}

}  // namespace orvitex::install
