#pragma once
// Pictures of the screen for the technician, beside the run log: taken when a wizard
// is left undone or a step fails, so that what the wizard showed is not lost. A
// picture that cannot be taken is logged and changes nothing else.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "install/RunLog.h"
#include "install/RunRecord.h"
#include "platform/Desktop.h"

namespace orvitex::install {

inline constexpr std::size_t kMaxScreenPictures = 10;

// "C:\오르비설치\orvitex-setup-<time>-<subject>.png"; time as "20261208-001500".
[[nodiscard]] std::u16string ScreenPicturePath(std::u16string_view time,
                                               std::u16string_view subject);

// A package's program file without its folder and ".exe", for a picture's name.
[[nodiscard]] std::u16string PictureSubject(std::u16string_view programFile);

class ScreenPictures {
public:
    ScreenPictures(platform::Desktop& desktop, RunLog& log, std::vector<PictureRecord>& kept)
        : desktop_(desktop), log_(log), kept_(kept) {}

    // subject names the file (a package, or "run"); why goes to the log and the report.
    void Take(std::u16string_view subject, std::u16string_view why);

private:
    [[nodiscard]] std::u16string FreePath(std::u16string_view subject) const;

    platform::Desktop& desktop_;
    RunLog& log_;
    std::vector<PictureRecord>& kept_;
    std::size_t tried_ = 0;
};

}  // namespace orvitex::install
