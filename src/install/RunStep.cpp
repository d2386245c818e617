#include "install/RunStep.h"

#include "install/ExitCodes.h"
#include "platform/Text.h"

namespace orvitex::install {

void FailStep(RunLog& log, std::u16string_view step, std::u16string_view reason) {
    const std::u16string text = std::u16string(step) + u": " + std::u16string(reason);
    log.Line(u"failed: " + text + u"; exit code " + ToText(std::int64_t{kExitOtherFailure}));
    throw RunStepError(ToUtf8(text));
}

}  // namespace orvitex::install
