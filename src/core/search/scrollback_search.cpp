#include "core/search/scrollback_search.h"

#include <array>

#include "core/terminal/utf8_codec.h"

namespace quill {

ScrollbackSearch::ScrollbackSearch(const SearchedRows& rows, const SearchPattern& pattern)
    : rows_(rows), pattern_(pattern), nextEnd_(rows.EndRow()) {}

bool ScrollbackSearch::Step(int rowBudget) {
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
    placeOfByte_.clear();
    for (long long row = lineStart_; row < end; ++row) AppendRow(row, row + 1 == end);
    spans_.clear();
    pattern_.FindAll(text_, spans_);
    for (auto span = spans_.rbegin(); span != spans_.rend(); ++span) {
        matches_.push_back(MatchOf(*span));
    }
    return lineStart_;
}

void ScrollbackSearch::AppendRow(long long row, bool lastOfLine) {
    const std::span<const Cell> cells = rows_.Row(row);
    std::size_t count = cells.size();
    // Blanks after the line's text are no part of it; a row the text wrapped
    // out of is full to its margin.
    if (lastOfLine) {
        while (count > 0 && cells[count - 1].Character() == U' ' && cells[count - 1].marks == 0) {
            --count;
        }
    }
    const CellPlace place{static_cast<int>(row - lineStart_), 0};
    std::array<std::uint8_t, 4> bytes{};
    auto append = [&](char32_t character, int column) {
        const int length = EncodeUtf8(character, bytes);
        text_.append(reinterpret_cast<const char*>(bytes.data()), length);
        placeOfByte_.insert(placeOfByte_.end(), length, CellPlace{place.rowOffset, column});
    };
    for (std::size_t column = 0; column < count; ++column) {
        const Cell& cell = cells[column];
        if (cell.Has(cell_flags::kWideRight)) continue;
        append(cell.Character(), static_cast<int>(column));
        if (cell.marks == 0) continue;
        for (const char32_t mark : rows_.Marks(cell)) append(mark, static_cast<int>(column));
    }
}

SearchMatch ScrollbackSearch::MatchOf(TextSpan span) const {
    const CellPlace first = placeOfByte_[span.start];
    const CellPlace last = placeOfByte_[span.end - 1];
    const long long lastRow = lineStart_ + last.rowOffset;
    int lastColumn = last.column;
    const std::span<const Cell> cells = rows_.Row(lastRow);
    if (lastColumn + 1 < static_cast<int>(cells.size()) &&
        cells[lastColumn + 1].Has(cell_flags::kWideRight)) {
        ++lastColumn;
    }
    return {lineStart_ + first.rowOffset, first.column, lastRow, lastColumn};
}

}  // namespace quill
