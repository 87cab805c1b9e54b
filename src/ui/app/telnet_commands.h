#pragma once

#include <cstdint>
#include <optional>

#include "ui/resources/command_ids.h"

class QKeyEvent;

namespace quill {

// The Telnet command code (after IAC) a "Send Telnet Command" item sends;
// none for any other command.
std::optional<std::uint8_t> TelnetCommandCode(CommandId id);

// Ctrl+Break, which sends Break. Under X11 it arrives as key 0 with the
// Control modifier and the native keysym of Break, not as Ctrl plus Pause.
bool IsBreakKey(const QKeyEvent& event);

}  // namespace quill
