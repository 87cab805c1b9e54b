#include "ui/terminal/match_highlight.h"

#include <QColor>
#include <QPainter>
#include <algorithm>

namespace quill {

namespace {

// The cells of one match on one row, in window pixels: to the grid's edge
// where the match goes on in the row below.
QRect RowPart(const SearchMatch& match, long long row, const MatchWindow& window) {
    const int windowRow = static_cast<int>(row - window.viewTop);
    const int cellWidth = window.cellWidths[static_cast<std::size_t>(windowRow)];
    const int left = row == match.firstRow ? match.firstColumn * cellWidth : 0;
    const int right = row == match.lastRow ? (match.lastColumn + 1) * cellWidth : window.width;
    return {left, windowRow * window.cellHeight, right - left, window.cellHeight};
}

// The rows of a match the window shows.
struct ShownRows {
    long long top;
    long long end;
};

ShownRows RowsShown(const SearchMatch& match, const MatchWindow& window) {
    return {std::max<long long>(match.firstRow, window.viewTop),
            std::min<long long>(match.lastRow + 1, window.viewTop + window.rows)};
}

void PaintMatch(QPainter& painter, const SearchMatch& match, bool current,
                const MatchWindow& window) {
    const ShownRows shown = RowsShown(match, window);
    const QColor fill = current ? QColor(255, 140, 0, 150) : QColor(255, 230, 0, 110);
    for (long long row = shown.top; row < shown.end; ++row) {
        const QRect part = RowPart(match, row, window);
        painter.fillRect(part, fill);
        if (!current) continue;
        painter.setPen(QColor(200, 80, 0));
        painter.drawRect(part.adjusted(0, 0, -1, -1));
    }
}

}  // namespace

void PaintMatchHighlights(QPainter& painter, std::span<const SearchMatch> matches,
                          std::optional<std::size_t> current, const MatchWindow& window) {
    const long long end = window.viewTop + window.rows;
    for (std::size_t i = 0; i < matches.size(); ++i) {
        const SearchMatch& match = matches[i];
        if (match.lastRow < window.viewTop || match.firstRow >= end) continue;
        PaintMatch(painter, match, current == i, window);
    }
}

void PaintLinkUnderline(QPainter& painter, const SearchMatch& link, const QColor& colour,
                        const MatchWindow& window) {
    const ShownRows shown = RowsShown(link, window);
    for (long long row = shown.top; row < shown.end; ++row) {
        const QRect part = RowPart(link, row, window);
        painter.fillRect(part.left(), part.bottom(), part.width(), 1, colour);
    }
}

}  // namespace quill
