#pragma once

#include <QString>
#include <Qt>
#include <cstdint>
#include <optional>

#include "ui/resources/command_ids.h"

namespace quill {

// What one key press becomes: first a key-down notification with the key's
// virtual-key code, then a character notification with the character the
// keyboard layout makes of the stroke (a surrogate pair is one character).
// Either may be missing.
struct KeyMessages {
    std::optional<std::uint16_t> keyDown;
    std::optional<char32_t> character;
};

// Translates a Qt key press. Alt combinations give nothing: they belong to the
// accelerators and the menu bar.
KeyMessages TranslateKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// Alt as Meta: the character that follows ESC for Alt with this key, that is
// what the key gives without Alt. None for keys without a character (cursor
// and function keys) and for Ctrl+Alt, which is AltGr on some platforms.
std::optional<char32_t> MetaCharacter(int key, Qt::KeyboardModifiers modifiers,
                                      const QString& text);

// The paste and copy keys of Linux terminals: Shift+Insert and Ctrl+Shift+V
// paste, Ctrl+Shift+C copies.
std::optional<CommandId> ClipboardKeyCommand(int key, Qt::KeyboardModifiers modifiers);

}  // namespace quill
