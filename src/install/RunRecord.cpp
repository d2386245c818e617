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

std::u16string_view ToText(ConfigCopy copy) {
    switch (copy) {
        case ConfigCopy::Copied:
            return u"copied";
        case ConfigCopy::Failed:
            return u"failed: the copy differs from the source or is missing";
        case ConfigCopy::NotAFolder:
            return u"failed: C:\\Orvitex\\bin is a file, not a folder; not copied";
        case ConfigCopy::NotTried:
            break;
    }
    return u"not copied: no C:\\Orvitex\\bin";
}

}  // namespace orvitex::install
