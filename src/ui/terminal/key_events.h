#pragma once

#include <QString>
#include <Qt>
#include <optional>

#include "core/interfaces/key.h"
#include "ui/resources/command_ids.h"

class QKeyEvent;

namespace quill {

// Translates a Qt key press into the terminal's key, the modifiers held
// (Shift+Tab is Tab with Shift), NumLock, and the character the keyboard
// layout makes of the stroke (a surrogate pair is one character). With Alt
// the character is MetaCharacter's: Alt as Meta sends ESC before it.
KeyPress TranslateKeyPress(int key, Qt::KeyboardModifiers modifiers, const QString& text,
                           bool numLock = true);

// Shift, Alt and Ctrl, as keys and the mouse report them.
KeyModifiers HeldModifiers(Qt::KeyboardModifiers modifiers);

// Whether NumLock is on for the key; on where the platform does not say, so
// the keypad sends its characters.
bool NumLockOn(const QKeyEvent& event);

// Alt as Meta: the character that follows ESC for Alt with this key, that is
// what the key gives without Alt. None for keys without a character (cursor
// and function keys) and for Ctrl+Alt, which is AltGr on some platforms.
std::optional<char32_t> MetaCharacter(int key, Qt::KeyboardModifiers modifiers,
                                      const QString& text);

// The paste and copy keys of Linux terminals: Shift+Insert and Ctrl+Shift+V
// paste, Ctrl+Shift+C copies.
std::optional<CommandId> ClipboardKeyCommand(int key, Qt::KeyboardModifiers modifiers);

}  // namespace quill
