#pragma once

#include <QTimer>
#include <deque>
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
//
// A window must not stop while another process holds the store, however
// long (one stopped with SIGSTOP holds it for ever): with Busy::kKeep an
// update that finds the store held elsewhere does not wait but keeps its
// change and returns false; the kept changes run, in order and each reading
// the store as it then stands, as soon as the store frees, looked at every
// kKeptRetryMs while the event loop runs. With Busy::kWait an update waits
// for the holder a bounded time, then gives up.
class QSettingsBackend final : public SettingsBackend {
  public:
    enum class Busy { kWait, kKeep };
    static constexpr int kKeptRetryMs = 50;

    explicit QSettingsBackend(Busy busy = Busy::kWait);

    std::optional<std::string> ReadText(const std::string& section,
                                        const std::string& key) override;
    bool WriteTexts(const std::string& section, const std::vector<SettingEntry>& entries) override;
    bool Update(const std::function<bool()>& change) override;

    // Changes kept and not yet written.
    std::size_t Kept() const { return kept_.size(); }
    // Before the program ends: waits for the store a bounded time to write
    // what is kept; false, and said in the log, when some of it could not be.
    bool WriteKept();

  private:
    // Runs the kept changes under one hold of the store; false when it could
    // not be held within waitMs.
    bool RunKept(int waitMs);

    Busy busy_;
    bool holding_ = false;
    std::deque<std::function<bool()>> kept_;
    QTimer retry_;
};

}  // namespace quill
