#include "db/QueryFailure.h"

#include "db/ado/Error.h"

namespace orvitex::db {

QueryFailureResponse RespondToQueryFailure(std::int32_t number, std::u16string_view description) {
    const std::u16string lost(kConnectionLostMessage);
    if (description.find(u"연결을") != std::u16string_view::npos || number == ado::kEFail) {
        return {true, lost, platform::MessageIcon::Critical};
    }
    if (number == ado::adErrObjectClosed || description.empty()) {
        return {false, lost, platform::MessageIcon::Critical};
    }
    return {false, std::u16string(description), platform::MessageIcon::None};
}

}  // namespace orvitex::db
