#include "core/search/line_text.h"

#include <algorithm>
#include <iterator>

#include "core/text/utf8_codec.h"

namespace quill {

void LineText::Read(const SearchedRows& rows, long long first, long long end) {
    rows_ = &rows;
    lineStart_ = first;
    text_.clear();
    pieces_.clear();
    columnBytes_.clear();
    for (long long row = first; row < end; ++row) AppendRow(row, row + 1 == end);
}

void LineText::AppendRow(long long row, bool lastOfLine) {
    std::span<const Cell> cells = rows_->Row(row);
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
        for (const char32_t mark : rows_->Marks(cell)) AppendUtf8(text_, mark);
    }
}

// Most rows hold ASCII alone; their text is one byte a cell, written in one
// pass. False, with nothing appended, for any other row.
bool LineText::AppendAscii(std::span<const Cell> cells) {
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

LineText::CellPlace LineText::PlaceOf(int byte) const {
    const auto piece =
        std::prev(std::upper_bound(pieces_.begin(), pieces_.end(), byte,
                                   [](int at, const RowPiece& row) { return at < row.firstByte; }));
    const long long row = lineStart_ + (piece - pieces_.begin());
    if (piece->firstColumnByte < 0) return {row, byte - piece->firstByte};
    // The last cell that begins at or before the byte; a wide character's
    // right half begins where the next cell does, so it is never the one.
    const auto first = columnBytes_.begin() + piece->firstColumnByte;
    const auto found = std::upper_bound(first, first + piece->columns, byte);
    return {row, static_cast<int>(found - first) - 1};
}

SearchMatch LineText::CellsOf(TextSpan span) const {
    const CellPlace first = PlaceOf(span.start);
    const CellPlace last = PlaceOf(span.end - 1);
    int lastColumn = last.column;
    const std::span<const Cell> cells = rows_->Row(last.row);
    if (lastColumn + 1 < static_cast<int>(cells.size()) &&
        cells[lastColumn + 1].Has(cell_flags::kWideRight)) {
        ++lastColumn;
    }
    return {first.row, first.column, last.row, lastColumn};
}

std::optional<int> LineText::ByteAt(long long row, int column) const {
    const long long index = row - lineStart_;
    if (index < 0 || index >= static_cast<long long>(pieces_.size())) return std::nullopt;
    const RowPiece& piece = pieces_[static_cast<std::size_t>(index)];
    if (column < 0 || column >= piece.columns) return std::nullopt;
    if (piece.firstColumnByte < 0) return piece.firstByte + column;
    return columnBytes_[static_cast<std::size_t>(piece.firstColumnByte + column)];
}

long long LineStartOf(const SearchedRows& rows, long long row, long long limit) {
    while (row > limit && rows.Continues(row)) --row;
    return row;
}

}  // namespace quill
