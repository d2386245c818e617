#include "install/WindowScripts.h"

namespace orvitex::install {

// Until the scripts are built, a wizard is only looked for: a missing one is
// what the run must already survive.
ScriptOutcome WindowScripts::Run(WizardScript /*script*/, std::u16string_view caption) {
    if (!desktop_.FindWindowByCaption(caption)) {
        return ScriptOutcome::NotFound;
    }
    static_cast<void>(limits_);
    return ScriptOutcome::ClickedThrough;
}

}  // namespace orvitex::install
