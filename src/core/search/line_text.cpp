#include "core/search/line_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "core/text/utf8_codec.h"

namespace quill {

void LineText::Read(const SearchedRows& rows, long long first, long long end) {
    Begin(rows, first);
    AppendLine(first, end);
}

void LineText::ReadLines(const SearchedRows& rows, long long first, long long end) {
    Begin(rows, first);
    long long lineStart = first;
    for (long long row = first + 1; row <= end; ++row) {
        if (row < end && rows.Continues(row)) continue;
        AppendLine(lineStart, row);
        lineStart = row;
    }
}

void LineText::Begin(const SearchedRows& rows, long long first) {
    rows_ = &rows;
    firstRow_ = first;
    text_.clear();
    lines_.clear();
    pieces_.clear();
    columnBytes_.clear();
}

void LineText::AppendLine(long long first, long long end) {
    const int start = static_cast<int>(text_.size());
    for (long long row = first; row < end; ++row) AppendRow(row, row + 1 == end);
    lines_.push_back({start, static_cast<int>(text_.size())});
}

void LineText::AppendRow(long long row, bool lastOfLine) {
    std::span<const Cell> cells = rows_->Row(row);
    const int firstByte = static_cast<int>(text_.size());
    if (AppendAscii(cells, lastOfLine)) {
        pieces_.push_back({firstByte, -1, static_cast<int>(text_.size()) - firstByte});
        return;
    }
    // Blanks after the line's text are no part of it; a row the text wrapped
    // out of is full to its margin.
    if (lastOfLine) {
        std::size_t count = cells.size();
        while (count > 0 && cells[count - 1].Character() == U' ' && cells[count - 1].marks == 0) {
            --count;
        }
        cells = cells.first(count);
    }
    const int columns = static_cast<int>(cells.size());
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

// Most rows hold ASCII alone; their text is one byte a cell, the blanks at
// the end of a line's last row left out. The cells are read once, front to
// back, without a branch that depends on them, so that the loop keeps up
// with the memory it reads. False, with nothing appended, for any other row.
bool LineText::AppendAscii(std::span<const Cell> cells, bool lastOfLine) {
    const std::size_t from = text_.size();
    text_.resize(from + cells.size());
    char* const out = text_.data() + from;
    std::uint32_t beyondAscii = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell& cell = cells[i];
        beyondAscii |= (cell.character & ~std::uint32_t{0x7F}) | cell.marks |
                       (cell.flags & cell_flags::kWideRight);
        out[i] = cell.character == 0 ? ' ' : static_cast<char>(cell.character);
    }
    std::size_t length = cells.size();
    if (beyondAscii != 0) {
        length = 0;
    } else if (lastOfLine) {
        while (length > 0 && out[length - 1] == ' ') --length;
    }
    text_.resize(from + length);
    return beyondAscii == 0;
}

LineText::CellPlace LineText::PlaceOf(int byte) const {
    const auto piece =
        std::prev(std::upper_bound(pieces_.begin(), pieces_.end(), byte,
                                   [](int at, const RowPiece& row) { return at < row.firstByte; }));
    const long long row = firstRow_ + (piece - pieces_.begin());
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
    const long long index = row - firstRow_;
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
