#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings/settings_store.h"

namespace quill {

// A settings store held in memory, for tests. It can be told to refuse
// writes or to be unavailable for updates, counts the writes it accepted,
// and can play another process that writes just before this one gets hold
// of the store.
class MemorySettingsBackend final : public SettingsBackend {
  public:
    std::optional<std::string> ReadText(const std::string& section,
                                        const std::string& key) override {
        const auto found = values_.find({section, key});
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }

    bool WriteTexts(const std::string& section, const std::vector<SettingEntry>& entries) override {
        return Update([&] {
            if (failWrites) return false;
            for (const SettingEntry& entry : entries) values_[{section, entry.key}] = entry.text;
            ++writeCount;
            return true;
        });
    }

    bool Update(const std::function<bool()>& change) override {
        if (held_) return change();
        if (holdUnavailable) return false;
        if (beforeHold) std::exchange(beforeHold, nullptr)(*this);
        held_ = true;
        const bool result = change();
        held_ = false;
        return result;
    }

    // Every stored (section, key) with its text, in name order.
    const std::map<std::pair<std::string, std::string>, std::string>& Values() const {
        return values_;
    }

    bool failWrites = false;
    bool holdUnavailable = false;
    std::size_t writeCount = 0;
    // Runs once, at the next Update, before this process holds the store:
    // what another process wrote while this one waited for it.
    std::function<void(MemorySettingsBackend&)> beforeHold;

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
    bool held_ = false;
};

}  // namespace quill
