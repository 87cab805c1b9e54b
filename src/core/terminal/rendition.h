#pragma once

#include <span>

#include "core/interfaces/cell.h"

namespace quill {

// xterm's SGR: each parameter in order changes the pen (the cell placed
// characters take): attributes combine and are switched off one by one,
// colours are the eight and the bright eight, 38;5;N and 48;5;N from the
// 256-colour palette, 38;2;R;G;B and 48;2;R;G;B direct; 39 and 49 the
// defaults; 0 (and an empty parameter) resets all. Unknown ones are skipped.
void ApplyXtermRenditions(Cell& pen, std::span<const int> parameters);

}  // namespace quill
