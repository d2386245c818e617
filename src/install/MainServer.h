#pragma once
// The one connection of start-up: the shared database instance to the main
// server, or the end of the program.
#include <cstdint>
#include <string_view>

#include "install/ServerSettings.h"
#include "platform/Ui.h"

namespace orvitex::install {

inline constexpr std::u16string_view kMainServerFailed = u"메인서버 접속에 실패하였습니다.";

// The shared database instance as ConnectMainServer sees it: created on first
// use, 1 when connected, 0 when not.
class MainServerConnector {
public:
    virtual ~MainServerConnector() = default;
    [[nodiscard]] virtual std::int32_t ConnectServerDB(std::u16string_view server,
                                                       std::u16string_view login,
                                                       std::u16string_view password,
                                                       std::u16string_view database) = 0;
};

// On failure shows the message with the information icon and ends the program
// with kExitMainServerUnreachable; no retry.
void ConnectMainServer(MainServerConnector& connector, platform::Ui& ui,
                       const ServerSettings& settings);

}  // namespace orvitex::install
