#pragma once
// How GetRecordSet answers a failed query: a lost link is reconnected and
// reported as such; anything else shows the provider's own words.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Ui.h"

namespace orvitex::db {

inline constexpr std::u16string_view kConnectionLostMessage = u"인터넷 또는 서버연결이 끊겼습니다";

struct QueryFailureResponse {
    bool reconnect = false;
    std::u16string message;
    platform::MessageIcon icon = platform::MessageIcon::None;
    friend bool operator==(const QueryFailureResponse&, const QueryFailureResponse&) = default;
};

[[nodiscard]] QueryFailureResponse RespondToQueryFailure(std::int32_t number,
                                                         std::u16string_view description);

}  // namespace orvitex::db
