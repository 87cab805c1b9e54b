#pragma once

#include <span>

#include "core/interfaces/cell.h"

namespace quill {

// Told of every row that leaves the screen through its top into the history
// (the scrolling region starts at the top row), before it moves there. Rows
// erased in place are not told.
class ScrollOffObserver {
  public:
    virtual ~ScrollOffObserver() = default;
    // The row's cells as they stand on the screen.
    virtual void RowScrolledOff(std::span<const Cell> cells) = 0;
};

}  // namespace quill
