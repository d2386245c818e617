#pragma once
// The shared clsDBMng instance behind ConnectMainServer: created on the first
// connection, with the ODBC environment and drivers of this program.
#include <memory>

#include "db/ado/Environment.h"
#include "db/clsDBMng.h"
#include "install/MainServer.h"
#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace orvitex::install {

class SharedDatabase : public MainServerConnector {
public:
    SharedDatabase(std::shared_ptr<db::clsDBMng>& instance, ado::ProviderDrivers drivers,
                   platform::Ui& ui, platform::FileSystem& files)
        : instance_(instance), drivers_(std::move(drivers)), ui_(ui), files_(files) {}

    // Creating the environment or the instance may throw; that is not a failed
    // connection and is not reported as one.
    [[nodiscard]] std::int32_t ConnectServerDB(std::u16string_view server,
                                               std::u16string_view login,
                                               std::u16string_view password,
                                               std::u16string_view database) override;
    // The shared instance, created (not connected) when missing.
    [[nodiscard]] db::clsDBMng& Instance();

private:
    std::shared_ptr<db::clsDBMng>& instance_;
    ado::ProviderDrivers drivers_;
    platform::Ui& ui_;
    platform::FileSystem& files_;
};

}  // namespace orvitex::install
