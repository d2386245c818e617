#include "startup/FormSpec.h"

namespace orvitex::forms {

const ControlSpec* FormSpec::Find(ControlRef ref) const {
    const std::int32_t i = IndexOf(ref);
    return i < 0 ? nullptr : &controls[static_cast<std::size_t>(i)];
}

std::int32_t FormSpec::IndexOf(ControlRef ref) const {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].ref == ref) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

}  // namespace orvitex::forms
