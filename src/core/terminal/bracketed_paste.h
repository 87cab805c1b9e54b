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

// The extended terminal pastes each line end (CR LF, LF or CR) as the Enter
// key sends it, a CR, as xterm does: with binary transmission on, a host
// would otherwise take CR LF as two line ends.
std::u16string WithEnterLineEnds(std::u16string_view text);

}  // namespace quill
