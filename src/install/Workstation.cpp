#include "install/Workstation.h"

#include <optional>

#include "install/ServerAliases.h"
#include "platform/RegistryWriter.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

// The registry as the writes see it, keeping the outcome of the last one: the
// writing primitive itself reports nothing.
class ObservedRegistry : public platform::Registry {
public:
    explicit ObservedRegistry(platform::Registry& inner) : inner_(inner) {}

    std::unique_ptr<platform::RegistryKey> OpenMachineKeyForSetValue(
        std::u16string_view path) override {
        status_.reset();
        auto key = inner_.OpenMachineKeyForSetValue(path);
        if (!key) {
            return nullptr;
        }
        return std::make_unique<Key>(std::move(key), status_);
    }

    [[nodiscard]] std::u16string Outcome() const {
        if (!status_) {
            return u"key missing or refused";
        }
        return *status_ == 0 ? u"written" : u"failed, status " + ToText(std::int64_t{*status_});
    }

private:
    class Key : public platform::RegistryKey {
    public:
        Key(std::unique_ptr<platform::RegistryKey> inner, std::optional<long>& status)
            : inner_(std::move(inner)), status_(status) {}
        long SetValue(std::u16string_view name, std::uint32_t type,
                      std::span<const std::byte> data) override {
            status_ = inner_->SetValue(name, type, data);
            return *status_;
        }

    private:
        std::unique_ptr<platform::RegistryKey> inner_;
        std::optional<long>& status_;
    };

    platform::Registry& inner_;
    std::optional<long> status_;
};

}  // namespace

void WriteWorkstationSettings(platform::Registry& registry, std::u16string_view serverName,
                              RunLog& log, std::vector<RegistryWriteRecord>* writes) {
    ObservedRegistry observed(registry);
    const auto note = [&](std::u16string_view key, std::u16string_view shortKey,
                          std::u16string_view name, const std::u16string& data) {
        log.Line(u"registry " + std::u16string(shortKey) + u" [" + std::u16string(name) + u"] = " +
                 data + u": " + observed.Outcome());
        if (writes) {
            writes->push_back(
                {std::u16string(key), std::u16string(name), data, observed.Outcome()});
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

}  // namespace orvitex::install
