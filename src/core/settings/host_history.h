#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/interfaces/connection_target.h"
#include "core/settings/settings_store.h"

namespace quill {

// The host history: keys "host1" (most recent) to "host10" of section "hosts".
inline constexpr std::string_view kHostsSection = "hosts";
inline constexpr int kHostHistorySize = 10;
// Each entry is read into a buffer of this many bytes: at most 99 characters.
inline constexpr std::size_t kHostBufferSize = 100;

using HostHistory = std::array<std::string, kHostHistorySize>;

// "host1" to "host10".
std::string HostKey(int number);

// Entry `number` (1 to 10), read into a buffer of bufferSize bytes: an entry
// that does not fit reads as empty, as a missing one does.
std::string ReadHostEntry(SettingsStore& store, int number, std::size_t bufferSize);

// All ten entries in order, empty ones included.
HostHistory ReadHostHistory(SettingsStore& store, std::size_t bufferSize);

// The first maxBytes bytes of text, without splitting a UTF-8 sequence.
std::string_view Cut(std::string_view text, std::size_t maxBytes);

// What the Connect and host-list dialogs show: the non-empty entries, most
// recent first, and the text of "host1" (even when empty) for the edit field.
struct HostList {
    std::vector<std::string> hosts;
    std::string editText;
};

HostList FillHostList(SettingsStore& store);

// The ten slots after newHost was chosen from a dialog that listed `listed`:
// newHost (cut to 99 characters) first, then the listed entries in order
// without the ones equal to it (exact, case-sensitive), the oldest dropped
// beyond ten, the remaining slots empty.
HostHistory HostHistoryAfterSave(std::string_view newHost, const std::vector<std::string>& listed);

// How a target is kept in the history, so that choosing the entry connects
// the same way again: over TLS "telnets://HOST:PORT", in clear text on another
// port than 23 "HOST:PORT", on port 23 the host alone. An IPv6 address with a
// port is put in brackets. Raw TCP is always a link with its port:
// "raw://HOST:PORT", over TLS "raws://HOST:PORT".
std::string HostEntryText(const ConnectionTarget& target);

// Puts newHost at the front of the history as it stands in the store at that
// moment, in one read-modify-write: HostHistoryAfterSave of the entries the
// store lists then, all ten slots written in one write. False when the store
// could not be held or written; callers may ignore it.
bool SaveHostHistory(SettingsStore& store, std::string_view newHost);

}  // namespace quill
