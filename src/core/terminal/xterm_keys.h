#pragma once

#include <optional>

#include "core/terminal/key_tables.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// What the extended terminal sends for a key, as xterm does with its default
// resources: the cursor keys, Home, End and Begin after ESC [ (ESC O in
// application cursor-key mode); Insert, Delete, Page Up, Page Down and F5-F12
// as ESC [ n ~; F1-F4 as ESC O P to S; with Shift, Alt or Ctrl all of them
// as ESC [ 1 ; m X or ESC [ n ; m ~, m being the modifier parameter.
// Backspace sends DEL (BS with Ctrl, ESC first with Alt), Shift+Tab ESC [ Z.
// The keypad's Enter and operators send ESC O M, j, k, m, o in application
// keypad mode unless NumLock is on and no modifier is held, as xterm does.
// None for every other key: it sends its character.
std::optional<KeySequence> XtermKey(Key key, KeyModifiers modifiers, const TerminalModes& modes);

}  // namespace quill
