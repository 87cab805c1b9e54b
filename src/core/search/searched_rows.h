#pragma once

#include <span>
#include <string_view>

#include "core/interfaces/cell.h"

namespace quill {

// The rows a search reads, oldest first: numbers from FirstRow() up to, not
// including, EndRow(). The numbers are the reader's own; a search hands
// them back in its matches, so a reader whose numbers stay with a row's
// text as it scrolls keeps the matches on that text.
class SearchedRows {
  public:
    virtual ~SearchedRows() = default;
    virtual long long FirstRow() const = 0;
    virtual long long EndRow() const = 0;
    virtual std::span<const Cell> Row(long long row) const = 0;
    // Whether the row continues the one above: the host's text wrapped
    // into it at the margin, so the two are one line.
    virtual bool Continues(long long row) const = 0;
    // The combining marks after a cell's character; empty for none.
    virtual std::u32string_view Marks(const Cell& cell) const = 0;
};

}  // namespace quill
