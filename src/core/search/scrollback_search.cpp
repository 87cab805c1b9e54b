#include "core/search/scrollback_search.h"

#include <algorithm>

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
    const long long start = LineStartOf(rows_, end - 1, rows_.FirstRow());
    line_.Read(rows_, start, end);
    spans_.clear();
    pattern_.FindAll(line_.Text(), spans_);
    for (auto span = spans_.rbegin(); span != spans_.rend(); ++span) {
        matches_.push_back(line_.CellsOf(*span));
    }
    return start;
}

}  // namespace quill
