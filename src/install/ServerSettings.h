#pragma once
// The built-in server settings, which the command line may override for staging.
#include <string>

namespace orvitex::install {

struct ServerSettings {
    std::u16string mainServer;
    std::u16string secondServer;
    std::u16string mainPort;
    std::u16string database;
    std::u16string login;
    std::u16string password;

    [[nodiscard]] static ServerSettings BuiltIn();
};

}  // namespace orvitex::install
