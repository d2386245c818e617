#include "forms/FormTable.h"

namespace orvitex::forms {

const ControlRow* FormTable::Find(ControlRef ref) const {
    const std::int32_t i = IndexOf(ref);
    return i < 0 ? nullptr : &controls[static_cast<std::size_t>(i)];
}

std::int32_t FormTable::IndexOf(ControlRef ref) const {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].ref == ref) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

}  // namespace orvitex::forms
