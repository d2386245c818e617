#pragma once
#include <string>

namespace orvitex::install {

// The institution's row of the server-information table, kept by the main window.
struct ServerRecord {
    std::u16string updatePath;
    std::u16string serverName;
    std::u16string serverId;
    std::u16string serverPassword;
    std::u16string databaseName;
};

}  // namespace orvitex::install
