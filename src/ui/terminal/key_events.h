#pragma once

#include <QString>
#include <Qt>
#include <cstdint>
#include <optional>

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

}  // namespace quill
