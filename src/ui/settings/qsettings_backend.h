#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"

namespace quill {

// The real per-user store, on QSettings with organisation "Brannock" and
// application "Quillterm". On Linux it is the INI file
// $XDG_CONFIG_HOME/Brannock/Quillterm.conf (~/.config when unset) with one
// group per section; on Windows the registry key
// HKEY_CURRENT_USER\Software\Brannock\Quillterm\<section>\<key>, the setting
// being that key's unnamed value. Every call opens the store afresh, so reads
// see what other processes wrote. Updates hold a SettingsLock; one that
// cannot be held writes nothing and says why in the category
// "quillterm.settings" (warnings are on).
class QSettingsBackend final : public SettingsBackend {
  public:
    std::optional<std::string> ReadText(const std::string& section,
                                        const std::string& key) override;
    bool WriteTexts(const std::string& section, const std::vector<SettingEntry>& entries) override;
    bool Update(const std::function<bool()>& change) override;

  private:
    bool holding_ = false;
};

}  // namespace quill
