#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/interfaces/key.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// The bytes one key sends.
struct KeySequence {
    std::array<std::uint8_t, 10> bytes{};
    int count = 0;
    void Add(std::uint8_t b) { bytes[static_cast<std::size_t>(count++)] = b; }
};

// What the plain terminal sends for a key, whatever the modifiers: the
// cursor keys after ESC [ (ESC O in application cursor-key mode), F1-F4 as
// ESC O P to S, F5-F12 as ESC [ 16 ~ to ESC [ 23 ~. None for every other
// key: it sends its character.
std::optional<KeySequence> Vt100Key(Key key, const TerminalModes& modes);

// What the BBS terminal sends, whatever the modifiers: the cursor keys
// after ESC [, Home ESC [ H, End ESC [ K. None for every other key.
std::optional<KeySequence> BbsKey(Key key);

}  // namespace quill
