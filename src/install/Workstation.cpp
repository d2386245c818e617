#include "install/Workstation.h"

#include "install/ObservedRegistry.h"
#include "install/ServerAliases.h"
#include "platform/RegistryWriter.h"
#include "platform/Text.h"

namespace orvitex::install {

void WriteWorkstationSettings(platform::Registry& registry, std::u16string_view serverName,
                              RunLog& log, std::vector<RegistryWriteRecord>* writes) {
    ObservedRegistry observed(registry);
    const auto note = [&](std::u16string_view key, std::u16string_view shortKey,
                          std::u16string_view name, const std::u16string& data) {
        log.Line(u"registry " + std::u16string(shortKey) + u" [" + std::u16string(name) + u"] = " +
                 data + u": " + ToText(observed.Outcome()) + u" (" + observed.ViewsOutcome() +
                 u")");
        if (writes) {
            writes->push_back({std::u16string(key), std::u16string(name), data, observed.Outcome(),
                               observed.ViewsOutcome()});
        }
    };
    RegisterPipeAlias(observed, serverName);
    note(kConnectToKey, u"ConnectTo", serverName, PipeAliasData(serverName));
    for (const auto& value : kPolicyValues) {
        mdl레지스트리::WriteRegistryString(observed, kPolicyKey, value.name, value.data,
                                           platform::kRegDword);
        note(kPolicyKey, u"Policies\\System", value.name, ToText(std::int64_t{value.data}));
    }
}

std::optional<std::u16string> UnwrittenValues(const std::vector<RegistryWriteRecord>& writes,
                                              std::size_t first) {
    std::u16string missing;
    std::int64_t count = 0;
    for (std::size_t i = first; i < writes.size(); ++i) {
        const RegistryWriteRecord& w = writes[i];
        if (w.result.outcome != WriteOutcome::Written) {
            missing +=
                (count++ == 0 ? u"" : u", ") + w.key + u" [" + w.name + u"]: " + ToText(w.result);
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    return ToText(count) + u" of " + ToText(std::int64_t{1 + kPolicyValues.size()}) +
           u" registry values not written: " + missing;
}

}  // namespace orvitex::install
