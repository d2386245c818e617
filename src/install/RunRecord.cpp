#include "install/RunRecord.h"

namespace orvitex::install {

std::u16string_view ToText(PackageAction action) {
    switch (action) {
        case PackageAction::Fetched:
            return u"fetched";
        case PackageAction::Reused:
            return u"reused";
        case PackageAction::SkippedNull:
            return u"skipped as Null";
        case PackageAction::StoppedEmpty:
            return u"stopped at length 0";
        case PackageAction::NotReached:
            break;
    }
    return u"not reached";
}

}  // namespace orvitex::install
