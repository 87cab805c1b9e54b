#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings/settings_store.h"

namespace quill {

// A settings store held in memory, for tests. It can be told to refuse
// writes, and counts the writes it accepted.
class MemorySettingsBackend final : public SettingsBackend {
  public:
    std::optional<std::string> ReadText(const std::string& section,
                                        const std::string& key) override {
        const auto found = values_.find({section, key});
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }

    bool WriteTexts(const std::string& section, const std::vector<SettingEntry>& entries) override {
        if (failWrites) return false;
        for (const SettingEntry& entry : entries) values_[{section, entry.key}] = entry.text;
        ++writeCount;
        return true;
    }

    // Every stored (section, key) with its text, in name order.
    const std::map<std::pair<std::string, std::string>, std::string>& Values() const {
        return values_;
    }

    bool failWrites = false;
    std::size_t writeCount = 0;

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace quill
