#include "core/search/scrollback_search.h"

#include <algorithm>

namespace quill {

namespace {

// Rows read as one text at most (a line longer than that is read whole):
// small enough to stay in the processor's cache.
constexpr long long kBlockRows = 1024;

// Every match in each line of the text, found in the line alone (an
// expression's \b, \s or $ sees nothing of the next), in reading order.
void FindInEachLine(const SearchPattern& pattern, std::string_view text,
                    const std::vector<TextSpan>& lines, std::vector<TextSpan>& out) {
    for (const TextSpan line : lines) {
        const std::size_t first = out.size();
        pattern.FindAll(text.substr(static_cast<std::size_t>(line.start),
                                    static_cast<std::size_t>(line.end - line.start)),
                        out);
        for (std::size_t i = first; i < out.size(); ++i) {
            out[i].start += line.start;
            out[i].end += line.start;
        }
    }
}

}  // namespace

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
        // Whole lines, from the one that holds the row the budget (or a
        // block) reaches up to.
        const long long reach = std::min<long long>(rowBudget - read, kBlockRows);
        const long long first =
            LineStartOf(rows_, std::max(nextEnd_ - reach, firstRow), firstRow);
        SearchLines(first, nextEnd_);
        read += nextEnd_ - first;
        nextEnd_ = first;
    }
    return nextEnd_ <= firstRow;
}

void ScrollbackSearch::SearchLines(long long first, long long end) {
    lines_.ReadLines(rows_, first, end);
    spans_.clear();
    FindInEachLine(pattern_, lines_.Text(), lines_.Lines(), spans_);
    for (auto span = spans_.rbegin(); span != spans_.rend(); ++span) {
        matches_.push_back(lines_.CellsOf(*span));
    }
}

}  // namespace quill
