#pragma once

#include <cstddef>

namespace quill {

// The terminal types the user chooses between, in the order the terminal
// registers their dialects: the plain VT100 subset, the extended xterm-like
// terminal, and the ANSI-BBS terminal in IBM code page 437.
enum class DialectId { kPlain, kExtended, kBbs };
inline constexpr std::size_t kDialectCount = 3;

}  // namespace quill
