#pragma once

#include <algorithm>
#include <vector>

namespace quill {

// What has changed on the screen since the window last took it. The screen
// model keeps it as it works and never calls out: the window pulls it once
// per frame.
//
// Rows are screen rows. When rows from the top down have scrolled up, the
// window can move the pixels it has by `scrolled` rows and paint only the
// rows marked here: the marks move with their rows.
struct ScreenDamage {
    // Columns [first, end) of a row changed; empty when first >= end.
    struct Columns {
        int first = 0;
        int end = 0;
        bool Empty() const { return first >= end; }
    };

    explicit ScreenDamage(int screenRows = 0, int columns = 0)
        : rows(static_cast<std::size_t>(screenRows)), width(columns) {}

    std::vector<Columns> rows;
    int width;
    // Rows scrolled up: screen rows 0 to scrollEnd - 1 (and the history
    // above them) moved up this many rows.
    int scrolled = 0;
    int scrollEnd = 0;
    // A changed row went into the history: a view showing history is stale.
    bool history = false;
    // Everything is stale (history and the row below the screen included).
    bool all = false;

    bool Clean() const { return !all && !history && scrolled == 0 && !anyRow; }

    void MarkColumns(int row, int first, int end) {
        Columns& r = rows[static_cast<std::size_t>(row)];
        if (r.Empty()) {
            r = {first, end};
        } else {
            r.first = std::min(r.first, first);
            r.end = std::max(r.end, end);
        }
        anyRow = true;
    }
    void MarkRows(int first, int end) {
        for (int r = first; r < end; ++r) MarkColumns(r, 0, width);
    }
    void MarkAll() { all = true; }
    // Screen rows 0 to end - 1 moved up one row; the last of them is new.
    // Two scrolls of different extents in one frame cannot be one blit, and
    // scrolling all the rows leaves nothing to blit: both make everything stale.
    void ScrollUp(int end) {
        if (all) return;
        if ((scrolled > 0 && end != scrollEnd) || scrolled + 1 >= end) {
            all = true;
            return;
        }
        scrollEnd = end;
        ++scrolled;
        history = history || !rows.front().Empty();
        std::move(rows.begin() + 1, rows.begin() + end, rows.begin());
        rows[static_cast<std::size_t>(end - 1)] = {};
        MarkColumns(end - 1, 0, width);
    }
    void Clear() {
        std::fill(rows.begin(), rows.end(), Columns{});
        scrolled = 0;
        scrollEnd = 0;
        history = false;
        all = false;
        anyRow = false;
    }

  private:
    bool anyRow = false;
};

}  // namespace quill
