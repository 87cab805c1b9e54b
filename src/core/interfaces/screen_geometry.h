#pragma once

namespace quill {

// The plain terminal's shape: 80 columns, 24 screen rows, 275 history rows.
constexpr int kColumns = 80;
constexpr int kScreenRows = 24;
constexpr int kHistoryRows = 275;
// Its buffer rows: the history, the screen and one spare row below it.
constexpr int kBufferRows = kHistoryRows + kScreenRows + 1;
constexpr int kFirstScreenRow = kHistoryRows;
constexpr int kLiveViewTop = kHistoryRows;

// The size of a screen: its columns, its rows and the rows of history above.
struct ScreenGeometry {
    int columns = kColumns;
    int screenRows = kScreenRows;
    int historyRows = kHistoryRows;
    bool operator==(const ScreenGeometry&) const = default;
};

}  // namespace quill
