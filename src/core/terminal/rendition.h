#pragma once

#include <cstdint>
#include <span>

#include "core/interfaces/cell.h"

namespace quill {

// xterm's SGR: each parameter in order changes the pen (the cell placed
// characters take): attributes combine and are switched off one by one,
// colours are the eight and the bright eight, 38;5;N and 48;5;N from the
// 256-colour palette, 38;2;R;G;B and 48;2;R;G;B direct; 39 and 49 the
// defaults; 0 (and an empty parameter) resets all. Unknown ones are skipped.
// Bit i of `subparameters` marks parameter i as begun by a colon: 38 and 48
// then take their colour from the colon group (38:5:N, 38:2:R:G:B,
// 38:2:I:R:G:B), and any other parameter ignores its group.
void ApplyXtermRenditions(Cell& pen, std::span<const int> parameters,
                          std::uint32_t subparameters = 0);

}  // namespace quill
