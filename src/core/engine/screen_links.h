#pragma once

#include <optional>
#include <string>

#include "core/search/line_text.h"
#include "core/interfaces/screen_view.h"

namespace quill {

// A link on the screen or in the history: the cells it covers, in lines of
// the text (LinesScrolled() plus the buffer row), and where it leads.
struct ScreenLink {
    SearchMatch cells;
    std::string target;
};

// How many rows above and below the cell a link is looked for.
constexpr int kLinkReach = 32;

// The link that holds a cell of a line of the text: the hyperlink the host
// declared for the cell, else a URL in the line's text (the line the host
// wrapped, read at most kLinkReach rows above and below the cell).
std::optional<ScreenLink> LinkAt(const ScreenView& screen, long long line, int column);

}  // namespace quill
