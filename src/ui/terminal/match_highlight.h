#pragma once

#include <optional>
#include <span>

#include "core/search/scrollback_search.h"

class QColor;
class QPainter;

namespace quill {

// Which row (in the matches' numbers) the window shows at its top, how many
// it shows, the grid's width in pixels, the height of its cells and the
// width of a cell on each row it shows (twice the font's on a row of double
// size).
struct MatchWindow {
    long long viewTop = 0;
    int rows = 0;
    int width = 0;
    int cellHeight = 0;
    std::span<const int> cellWidths;
};

// Marks the matches the window shows over the painted text: every one in a
// light colour, the current one in a stronger one with a frame.
void PaintMatchHighlights(QPainter& painter, std::span<const SearchMatch> matches,
                          std::optional<std::size_t> current, const MatchWindow& window);

// Underlines the cells of a link, where the window shows them, in `colour`.
void PaintLinkUnderline(QPainter& painter, const SearchMatch& link, const QColor& colour,
                        const MatchWindow& window);

}  // namespace quill
