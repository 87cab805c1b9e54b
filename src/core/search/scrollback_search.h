#pragma once

#include <string>
#include <vector>

#include "core/search/line_text.h"
#include "core/search/search_pattern.h"
#include "core/search/searched_rows.h"

namespace quill {

// A match is the cells it covers (SearchMatch, in line_text.h).

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
    // Reads the line that ends just above row `end`, at most up to
    // `firstRow`; returns its first row.
    long long SearchLineEndingAt(long long end, long long firstRow);

    const SearchedRows& rows_;
    const SearchPattern& pattern_;
    long long nextEnd_;
    std::vector<SearchMatch> matches_;
    LineText line_;
    std::vector<TextSpan> spans_;
};

}  // namespace quill
