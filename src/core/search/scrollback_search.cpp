#include "core/search/scrollback_search.h"

#include <algorithm>
#include <iterator>

#include "core/text/utf8_codec.h"

namespace quill {

ScrollbackSearch::ScrollbackSearch(const SearchedRows& rows, const SearchPattern& pattern)
    : rows_(rows), pattern_(pattern), nextEnd_(rows.EndRow()) {}

bool ScrollbackSearch::Step(int rowBudget) {
    // A grid made smaller since the last step has fewer rows to read.
    nextEnd_ = std::min(nextEnd_, rows_.EndRow());
    long long read = 0;
    while (!Done() && read < rowBudget) {
        const long long first = SearchLineEndingAt(nextEnd_);
        read += nextEnd_ - first;
        nextEnd_ = first;
    }
    return Done();
}

long long ScrollbackSearch::SearchLineEndingAt(long long end) {
    lineStart_ = end - 1;
    while (lineStart_ > rows_.FirstRow() && rows_.Continues(lineStart_)) --lineStart_;
    text_.clear();
    pieces_.clear();
    columnBytes_.clear();
    for (long long row = lineStart_; row < end; ++row) AppendRow(row, row + 1 == end);
    spans_.clear();
    pattern_.FindAll(text_, spans_);
    for (auto span = spans_.rbegin(); span != spans_.rend(); ++span) {
        matches_.push_back(MatchOf(*span));
    }
    return lineStart_;
}

void ScrollbackSearch::AppendRow(long long row, bool lastOfLine) {
    std::span<const Cell> cells = rows_.Row(row);
    // Blanks after the line's text are no part of it; a row the text wrapped
    // out of is full to its margin.
    if (lastOfLine) {
        std::size_t count = cells.size();
        while (count > 0 && cells[count - 1].Character() == U' ' && cells[count - 1].marks == 0) {
            --count;
        }
        cells = cells.first(count);
    }
    const int firstByte = static_cast<int>(text_.size());
    const int columns = static_cast<int>(cells.size());
    if (AppendAscii(cells)) {
        pieces_.push_back({firstByte, -1, columns});
        return;
    }
    pieces_.push_back({firstByte, static_cast<int>(columnBytes_.size()), columns});
    for (const Cell& cell : cells) {
        columnBytes_.push_back(static_cast<int>(text_.size()));
        // The right half of a wide character adds nothing: its text is the
        // left half's.
        if (cell.Has(cell_flags::kWideRight)) continue;
        AppendUtf8(text_, cell.Character());
        if (cell.marks == 0) continue;
        for (const char32_t mark : rows_.Marks(cell)) AppendUtf8(text_, mark);
    }
}

// Most rows hold ASCII alone; their text is one byte a cell, written in one
// pass. False, with nothing appended, for any other row.
bool ScrollbackSearch::AppendAscii(std::span<const Cell> cells) {
    const std::size_t from = text_.size();
    text_.resize(from + cells.size());
    char* out = text_.data() + from;
    for (const Cell& cell : cells) {
        if (cell.character >= 0x80 || cell.marks != 0 || cell.Has(cell_flags::kWideRight)) {
            text_.resize(from);
            return false;
        }
        *out++ = static_cast<char>(cell.Character());
    }
    return true;
}

ScrollbackSearch::CellPlace ScrollbackSearch::PlaceOf(int byte) const {
    const auto piece = std::prev(std::upper_bound(
        pieces_.begin(), pieces_.end(), byte,
        [](int at, const RowPiece& row) { return at < row.firstByte; }));
    const long long row = lineStart_ + (piece - pieces_.begin());
    if (piece->firstColumnByte < 0) return {row, byte - piece->firstByte};
    // The last cell that begins at or before the byte; a wide character's
    // right half begins where the next cell does, so it is never the one.
    const auto first = columnBytes_.begin() + piece->firstColumnByte;
    const auto found = std::upper_bound(first, first + piece->columns, byte);
    return {row, static_cast<int>(found - first) - 1};
}

SearchMatch ScrollbackSearch::MatchOf(TextSpan span) const {
    const CellPlace first = PlaceOf(span.start);
    const CellPlace last = PlaceOf(span.end - 1);
    int lastColumn = last.column;
    const std::span<const Cell> cells = rows_.Row(last.row);
    if (lastColumn + 1 < static_cast<int>(cells.size()) &&
        cells[lastColumn + 1].Has(cell_flags::kWideRight)) {
        ++lastColumn;
    }
    return {first.row, first.column, last.row, lastColumn};
}

}  // namespace quill
