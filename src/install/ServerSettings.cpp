#include "install/ServerSettings.h"

#include "BuiltInSettings.h"

namespace orvitex::install {

ServerSettings ServerSettings::BuiltIn() {
    return {std::u16string(settings::kMainServer), std::u16string(settings::kSecondServer),
            std::u16string(settings::kMainPort),   std::u16string(settings::kDatabase),
            std::u16string(settings::kLogin),      std::u16string(settings::kPassword)};
}

}  // namespace orvitex::install
