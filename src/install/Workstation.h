#pragma once
// The closing settings of a complete run: the institution server's named-pipe
// alias, then the user-account-control policy values.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/RunLog.h"
#include "install/RunRecord.h"
#include "platform/Registry.h"

namespace orvitex::install {

inline constexpr std::u16string_view kPolicyKey =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

struct PolicyValue {
    std::u16string_view name;
    std::int32_t data;
};

inline constexpr std::array<PolicyValue, 14> kPolicyValues{{
    {u"ConsentPromptBehaviorAdmin", 2},
    {u"ConsentPromptBehaviorUser", 3},
    {u"dontdisplaylastusername", 0},
    {u"EnableInstallerDetection", 1},
    {u"EnableLUA", 1},
    {u"EnableSecureUIAPaths", 1},
    {u"EnableUIADesktopToggle", 0},
    {u"EnableVirtualization", 1},
    {u"FilterAdministratorToken", 0},
    {u"PromptOnSecureDesktop", 1},
    {u"scforceoption", 0},
    {u"shutdownwithoutlogon", 1},
    {u"undockwithoutlogon", 1},
    {u"ValidateAdminCodesSignatures", 0},
}};

// Every write goes on even when one before it failed; each result is logged,
// and kept in writes when given.
void WriteWorkstationSettings(platform::Registry& registry, std::u16string_view serverName,
                              RunLog& log, std::vector<RegistryWriteRecord>* writes = nullptr);

// "1 of 15 registry values not written: <key> [<name>]: <result>, …" for the writes from
// first on that did not land; empty when every one did.
[[nodiscard]] std::optional<std::u16string> UnwrittenValues(
    const std::vector<RegistryWriteRecord>& writes, std::size_t first);

}  // namespace orvitex::install
