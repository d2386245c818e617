#include "install/RegistryViews.h"

namespace orvitex::install {
namespace {

using platform::KeyAccess;

std::u16string ViewResult(KeyAccess access, std::u16string_view done, std::u16string_view bits) {
    switch (access) {
        case KeyAccess::Writable:
            return std::u16string(done);
        case KeyAccess::Refused:
            return u"not writable";
        case KeyAccess::Missing:
            break;
    }
    if (bits.empty())
        return u"missing";
    return u"missing, " + std::u16string(bits) + u" programs will not see the value";
}

}  // namespace

ViewVerdict JudgeViews(const platform::KeyViews& views) {
    if (views.oneView)
        return views.view64 == KeyAccess::Writable ? ViewVerdict::Pass : ViewVerdict::Fail;
    if (views.view64 == KeyAccess::Refused || views.view32 == KeyAccess::Refused)
        return ViewVerdict::Fail;
    if (views.view64 == KeyAccess::Missing && views.view32 == KeyAccess::Missing)
        return ViewVerdict::Fail;
    if (views.view64 == KeyAccess::Missing || views.view32 == KeyAccess::Missing)
        return ViewVerdict::Warn;
    return ViewVerdict::Pass;
}

std::u16string DescribeViews(const platform::KeyViews& views, std::u16string_view done) {
    if (views.oneView)
        return u"one view (32-bit Windows): " + ViewResult(views.view64, done, u"");
    return u"64-bit view: " + ViewResult(views.view64, done, u"64-bit") + u"; 32-bit view: " +
           ViewResult(views.view32, done, u"32-bit");
}

}  // namespace orvitex::install
