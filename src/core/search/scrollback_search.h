#pragma once

#include <string>
#include <vector>

#include "core/search/search_pattern.h"
#include "core/search/searched_rows.h"

namespace quill {

// A match as the cells it covers, first and last included, in the rows'
// own numbers; the last cell is the right half of a wide character that
// ends the match.
struct SearchMatch {
    long long firstRow = 0;
    int firstColumn = 0;
    long long lastRow = 0;
    int lastColumn = 0;
    bool operator==(const SearchMatch&) const = default;
};

// Searches the rows line by line, from the newest to the oldest, a slice at
// a time so that a window can go on between slices. A line is a row and the
// rows that continue it; its text has no blanks after its last character.
class ScrollbackSearch {
  public:
    // Both must outlive the search. Rows that change under it are read as
    // they are when it reaches them.
    ScrollbackSearch(const SearchedRows& rows, const SearchPattern& pattern);

    // Reads lines until at least `rowBudget` more rows are read or all are;
    // true once all are.
    bool Step(int rowBudget);
    bool Done() const { return nextEnd_ <= rows_.FirstRow(); }
    // What was found so far, the newest first.
    const std::vector<SearchMatch>& Matches() const { return matches_; }

  private:
    // Reads the line that ends just above row `end`; returns its first row.
    long long SearchLineEndingAt(long long end);
    void AppendRow(long long row, bool lastOfLine);
    bool AppendAscii(std::span<const Cell> cells);
    SearchMatch MatchOf(TextSpan span) const;

    const SearchedRows& rows_;
    const SearchPattern& pattern_;
    long long nextEnd_;
    std::vector<SearchMatch> matches_;
    // Where a byte of the line's text comes from: its row (from the line's
    // first) and column.
    struct CellPlace {
        long long row;
        int column;
    };
    CellPlace PlaceOf(int byte) const;

    // The line being read: its text, and for each of its rows where the
    // row's text begins. A row of ASCII alone, one byte per cell, needs no
    // more; any other keeps in columnBytes_ where each of its cells begins.
    long long lineStart_ = 0;
    std::string text_;
    struct RowPiece {
        int firstByte;
        int firstColumnByte;  // into columnBytes_, or -1 for one byte a cell
        int columns;
    };
    std::vector<RowPiece> pieces_;
    std::vector<int> columnBytes_;
    std::vector<TextSpan> spans_;
};

}  // namespace quill
