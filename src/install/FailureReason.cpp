#include "install/FailureReason.h"

#include "db/ado/Error.h"
#include "platform/Text.h"

namespace orvitex::install {

std::u16string FailureReason(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const ado::Error& e) {
        return u"error " + ToText(std::int64_t{e.Number()}) + u": " + e.Description();
    } catch (const std::exception& e) {
        return FromUtf8(e.what());
    } catch (...) {
        return u"unexpected failure";
    }
}

}  // namespace orvitex::install
