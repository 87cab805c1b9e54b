#pragma once

#include <string>
#include <string_view>

namespace quill {

// While the host has bracketed paste on (?2004), a paste goes between these.
inline constexpr std::string_view kPasteStart = "\x1b[200~";
inline constexpr std::string_view kPasteEnd = "\x1b[201~";

// The pasted text without any end bracket, removed again and again until
// none is left (ESC [ 2 0 ESC [ 2 0 1 ~ 1 ~ loses both), so that a paste
// cannot end its bracket early.
std::u16string WithoutPasteEnds(std::u16string_view text);

}  // namespace quill
