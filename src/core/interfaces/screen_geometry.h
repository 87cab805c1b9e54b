#pragma once

namespace quill {

// The plain terminal's shape: 80 columns, 24 screen rows, 275 history rows.
constexpr int kColumns = 80;
constexpr int kScreenRows = 24;
constexpr int kHistoryRows = 275;

// The size of a screen: its columns, its rows and the rows of history above.
struct ScreenGeometry {
    int columns = kColumns;
    int screenRows = kScreenRows;
    int historyRows = kHistoryRows;
    bool operator==(const ScreenGeometry&) const = default;
};

}  // namespace quill
