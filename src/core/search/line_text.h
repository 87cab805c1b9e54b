#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/search/search_pattern.h"
#include "core/search/searched_rows.h"

namespace quill {

// Cells from one to another, first and last included, in the rows' own
// numbers; the last cell is the right half of a wide character that ends
// them.
struct SearchMatch {
    long long firstRow = 0;
    int firstColumn = 0;
    long long lastRow = 0;
    int lastColumn = 0;
    bool operator==(const SearchMatch&) const = default;
};

// Lines of the text as UTF-8, a line being a row and the rows that continue
// it, and where each byte of the text comes from. A line's text has no
// blanks after its last character. Rows of ASCII alone are one byte a cell;
// any other keeps where each of its cells begins.
class LineText {
  public:
    // Reads rows first to end - 1 of `rows`, which must outlive the reads
    // that follow, as one line.
    void Read(const SearchedRows& rows, long long first, long long end);
    // Reads rows first to end - 1 as the lines they make, the first from
    // row `first` on and the last up to row end - 1, one after another,
    // oldest first.
    void ReadLines(const SearchedRows& rows, long long first, long long end);
    const std::string& Text() const { return text_; }
    // Where each line's text lies, in the order read.
    const std::vector<TextSpan>& Lines() const { return lines_; }
    // The cells a span of the text covers.
    SearchMatch CellsOf(TextSpan span) const;
    // Where a cell's text begins; none for a cell past the line's text.
    std::optional<int> ByteAt(long long row, int column) const;

  private:
    void Begin(const SearchedRows& rows, long long first);
    void AppendLine(long long first, long long end);
    void AppendRow(long long row, bool lastOfLine);
    bool AppendAscii(std::span<const Cell> cells, bool lastOfLine);
    struct CellPlace {
        long long row;
        int column;
    };
    CellPlace PlaceOf(int byte) const;

    const SearchedRows* rows_ = nullptr;
    long long firstRow_ = 0;
    std::string text_;
    std::vector<TextSpan> lines_;
    struct RowPiece {
        int firstByte;
        int firstColumnByte;  // into columnBytes_, or -1 for one byte a cell
        int columns;
    };
    std::vector<RowPiece> pieces_;
    std::vector<int> columnBytes_;
};

// The first row of the line that holds `row`: the row itself, or the first
// above it that the rows down to it continue; no further up than `limit`,
// one of the rows (FirstRow() or a newer one).
long long LineStartOf(const SearchedRows& rows, long long row, long long limit);

}  // namespace quill
