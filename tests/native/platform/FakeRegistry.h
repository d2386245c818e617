#pragma once
// HKEY_LOCAL_MACHINE in memory: keys exist only when a test adds them, every open
// and close is recorded, and a key can be made to refuse writes.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/Text.h"

namespace orvitex::testing {

class FakeRegistry : public platform::Registry {
public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::byte> data;
    };
    using Values = std::map<std::u16string, Value>;

    void AddKey(const std::u16string& path, long writeStatus = 0) {
        keys_[path];
        writeStatus_[path] = writeStatus;
    }
    // Existing keys are in both views unless hidden from the 32-bit one.
    void HideFrom32BitView(const std::u16string& path) { hidden32_.insert(path); }
    bool HasKey(const std::u16string& path) const { return keys_.contains(path); }
    const Values& ValuesOf(const std::u16string& path) const { return keys_.at(path); }
    const std::vector<std::string>& Log() const { return log_; }

    std::unique_ptr<platform::RegistryKey> OpenMachineKeyForSetValue(
        std::u16string_view path) override {
        log_.push_back("open " + ToUtf8(path));
        return HasKey(std::u16string(path)) ? std::make_unique<Key>(*this, path) : nullptr;
    }

    platform::KeyViews ProbeMachineKey(std::u16string_view path) override {
        log_.push_back("probe " + ToUtf8(path));
        return ProbeViews(std::u16string(path));
    }

private:
    platform::KeyViews ProbeViews(const std::u16string& key) const {
        if (!HasKey(key))
            return {};
        const auto access = writeStatus_.at(key) == 0 ? platform::KeyAccess::Writable
                                                      : platform::KeyAccess::Refused;
        return {access, hidden32_.contains(key) ? platform::KeyAccess::Missing : access};
    }

    class Key : public platform::RegistryKey {
    public:
        Key(FakeRegistry& registry, std::u16string_view path) : registry_(registry), path_(path) {}
        ~Key() override { registry_.log_.push_back("close " + ToUtf8(path_)); }

        long SetValue(std::u16string_view name, std::uint32_t type,
                      std::span<const std::byte> data) override {
            registry_.log_.push_back("set " + ToUtf8(path_) + " [" + ToUtf8(name) + "]");
            const long status = registry_.writeStatus_.at(path_);
            if (status == 0)
                registry_.keys_[path_][std::u16string(name)] = {type, {data.begin(), data.end()}};
            return status;
        }
        platform::KeyViews Views() const override { return registry_.ProbeViews(path_); }

    private:
        FakeRegistry& registry_;
        std::u16string path_;
    };

    std::map<std::u16string, Values> keys_;
    std::map<std::u16string, long> writeStatus_;
    std::set<std::u16string> hidden32_;
    std::vector<std::string> log_;
};

}  // namespace orvitex::testing
