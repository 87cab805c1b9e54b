#include "core/search/scrollback_search.h"

#include <algorithm>

namespace quill {

ScrollbackSearch::ScrollbackSearch(const SearchedRows& rows, const SearchPattern& pattern)
    : rows_(rows), pattern_(pattern), nextEnd_(rows.EndRow()) {}

// The rows keep still while a step reads them: their bounds are asked for
// once a step.
bool ScrollbackSearch::Step(int rowBudget) {
    // A grid made smaller since the last step has fewer rows to read.
    nextEnd_ = std::min(nextEnd_, rows_.EndRow());
    const long long firstRow = rows_.FirstRow();
    long long read = 0;
    while (nextEnd_ > firstRow && read < rowBudget) {
        const long long first = SearchLineEndingAt(nextEnd_, firstRow);
        read += nextEnd_ - first;
        nextEnd_ = first;
    }
    return nextEnd_ <= firstRow;
}

long long ScrollbackSearch::SearchLineEndingAt(long long end, long long firstRow) {
    const long long start = LineStartOf(rows_, end - 1, firstRow);
    line_.Read(rows_, start, end);
    spans_.clear();
    pattern_.FindAll(line_.Text(), spans_);
    for (auto span = spans_.rbegin(); span != spans_.rend(); ++span) {
        matches_.push_back(line_.CellsOf(*span));
    }
    return start;
}

}  // namespace quill
