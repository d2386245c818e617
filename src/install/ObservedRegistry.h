#pragma once
// The registry as the writes see it, keeping the outcome of the last one: the
// writing primitive itself reports nothing.
#include <memory>
#include <optional>
#include <string>

#include "install/RegistryViews.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace orvitex::install {

enum class WriteOutcome { Written, KeyMissingOrRefused, Failed };

// A registry write's outcome; status is the platform's, for Failed.
struct WriteResult {
    WriteOutcome outcome = WriteOutcome::KeyMissingOrRefused;
    long status = 0;
    friend bool operator==(const WriteResult&, const WriteResult&) = default;
};

using orvitex::ToText;
// "written", "key missing or refused", "failed, status 5": the log's and the report's words.
[[nodiscard]] inline std::u16string ToText(const WriteResult& result) {
    switch (result.outcome) {
        case WriteOutcome::Written:
            return u"written";
        case WriteOutcome::Failed:
            return u"failed, status " + ToText(std::int64_t{result.status});
        case WriteOutcome::KeyMissingOrRefused:
            break;
    }
    return u"key missing or refused";
}

class ObservedRegistry : public platform::Registry {
public:
    explicit ObservedRegistry(platform::Registry& inner) : inner_(inner) {}

    std::unique_ptr<platform::RegistryKey> OpenMachineKeyForSetValue(
        std::u16string_view path) override {
        status_.reset();
        views_.reset();
        auto key = inner_.OpenMachineKeyForSetValue(path);
        if (!key) {
            return nullptr;
        }
        views_ = key->Views();
        return std::make_unique<Key>(std::move(key), status_);
    }

    [[nodiscard]] WriteResult Outcome() const {
        if (!status_) {
            return {WriteOutcome::KeyMissingOrRefused};
        }
        return *status_ == 0 ? WriteResult{WriteOutcome::Written}
                             : WriteResult{WriteOutcome::Failed, *status_};
    }

    // Each view's result of the last write, by the view rule.
    [[nodiscard]] std::u16string ViewsOutcome() const {
        if (!views_ || !status_) {
            return u"in no view";
        }
        return DescribeViews(*views_, ToText(Outcome()));
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
    std::optional<platform::KeyViews> views_;
};

}  // namespace orvitex::install
