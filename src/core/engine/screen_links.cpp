#include "core/engine/screen_links.h"

#include <algorithm>

#include "core/engine/screen_search_rows.h"
#include "core/search/url_finder.h"

namespace quill {

namespace {

struct CellPlace {
    long long row;
    int column;
};

// The cells a row shows: half of them in a row of double width.
int ColumnsOf(const ScreenSearchRows& rows, long long row) {
    return static_cast<int>(rows.Row(row).size());
}

// The cell before or after one within a line the host wrapped; none at the
// line's ends and past the reach.
std::optional<CellPlace> Neighbour(const ScreenSearchRows& rows, CellPlace at, int step,
                                   long long first, long long end) {
    at.column += step;
    if (at.column < 0) {
        if (at.row <= first || !rows.Continues(at.row)) return std::nullopt;
        return CellPlace{at.row - 1, ColumnsOf(rows, at.row - 1) - 1};
    }
    if (at.column >= ColumnsOf(rows, at.row)) {
        if (at.row + 1 >= end || !rows.Continues(at.row + 1)) return std::nullopt;
        return CellPlace{at.row + 1, 0};
    }
    return at;
}

// The cells around one that are part of the same declared link.
SearchMatch DeclaredCells(const ScreenSearchRows& rows, CellPlace at, long long first,
                          long long end) {
    const std::uint16_t link = rows.Row(at.row)[at.column].Link();
    const auto walk = [&](int step) {
        CellPlace last = at;
        while (const auto next = Neighbour(rows, last, step, first, end)) {
            if (rows.Row(next->row)[next->column].Link() != link) break;
            last = *next;
        }
        return last;
    };
    const CellPlace from = walk(-1);
    const CellPlace to = walk(1);
    return {from.row, from.column, to.row, to.column};
}

}  // namespace

std::optional<ScreenLink> LinkAt(const ScreenView& screen, long long line, int column) {
    const ScreenSearchRows rows(screen);
    if (line < rows.FirstRow() || line >= rows.EndRow() || column < 0 ||
        column >= ColumnsOf(rows, line)) {
        return std::nullopt;
    }
    const long long first = std::max(rows.FirstRow(), line - kLinkReach);
    const long long end = std::min(rows.EndRow(), line + kLinkReach + 1);
    const Cell& cell = rows.Row(line)[column];
    if (const std::string_view target = screen.LinkTarget(cell); !target.empty()) {
        return ScreenLink{DeclaredCells(rows, {line, column}, first, end),
                          std::string(target)};
    }
    long long lineEnd = line + 1;
    while (lineEnd < end && rows.Continues(lineEnd)) ++lineEnd;
    LineText text;
    text.Read(rows, LineStartOf(rows, line, first), lineEnd);
    const std::optional<int> byte = text.ByteAt(line, column);
    if (!byte) return std::nullopt;
    const std::optional<TextSpan> url = UrlAt(text.Text(), *byte);
    if (!url) return std::nullopt;
    return ScreenLink{text.CellsOf(*url),
                      text.Text().substr(static_cast<std::size_t>(url->start),
                                         static_cast<std::size_t>(url->end - url->start))};
}

}  // namespace quill
