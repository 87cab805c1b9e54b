#pragma once

#include "core/search/searched_rows.h"
#include "core/interfaces/screen_view.h"

namespace quill {

// The history in use and the screen, as the rows a search reads. A row's
// number is its line since the screen began (rows scrolled so far plus its
// buffer row), so a match stays on its text as the text scrolls.
class ScreenSearchRows final : public SearchedRows {
  public:
    explicit ScreenSearchRows(const ScreenView& screen) : screen_(screen) {}
    long long FirstRow() const override {
        return LineOf(screen_.FirstScreenRow() - screen_.HistoryDepth());
    }
    long long EndRow() const override {
        return LineOf(screen_.FirstScreenRow() + screen_.Geometry().screenRows);
    }
    std::span<const Cell> Row(long long row) const override { return screen_.Row(BufferRow(row)); }
    bool Continues(long long row) const override { return screen_.RowContinues(BufferRow(row)); }
    std::u32string_view Marks(const Cell& cell) const override { return screen_.Marks(cell); }

    long long LineOf(int bufferRow) const { return screen_.LinesScrolled() + bufferRow; }
    int BufferRow(long long line) const {
        return static_cast<int>(line - screen_.LinesScrolled());
    }

  private:
    const ScreenView& screen_;
};

}  // namespace quill
