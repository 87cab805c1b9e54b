#pragma once

#include "core/interfaces/screen_view.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// The terminal's ScreenView: the screen model's rows, cursor and damage, and
// the look from the modes and the terminal in force. Every call is one
// inline read of the model or the modes.
class TerminalScreenView final : public ScreenView {
  public:
    TerminalScreenView(const ScreenModel& screen, const TerminalModes& modes,
                       const DialectId& inForce)
        : screen_(screen), modes_(modes), inForce_(inForce) {}

    const ScreenGeometry& Geometry() const override { return screen_.Geometry(); }
    int BufferRows() const override { return screen_.BufferRows(); }
    int FirstScreenRow() const override { return screen_.FirstScreenRow(); }
    int HistoryDepth() const override { return screen_.HistoryDepth(); }
    std::int64_t LinesScrolled() const override { return screen_.LinesScrolled(); }
    std::span<const Cell> Row(int bufferRow) const override { return screen_.Row(bufferRow); }
    LineSize RowLineSize(int bufferRow) const override { return screen_.RowLineSize(bufferRow); }
    bool RowContinues(int bufferRow) const override { return screen_.RowContinues(bufferRow); }
    std::string_view LinkTarget(const Cell& cell) const override {
        return screen_.LinkTarget(cell);
    }
    int CursorRow() const override { return screen_.CursorRow(); }
    int CursorColumn() const override { return screen_.CursorColumn(); }
    const ScreenDamage& Damage() const override { return screen_.Damage(); }

    DialectId InForce() const override { return inForce_; }
    bool ReverseScreen() const override { return modes_.ReverseScreen(); }
    const Palette& Colours() const override { return modes_.Colours(); }
    bool CursorVisible() const override { return modes_.CursorVisible(); }
    CursorStyle Cursor() const override { return modes_.Cursor(); }

  private:
    std::u32string_view MarksOf(const Cell& cell) const override { return screen_.Marks(cell); }

    const ScreenModel& screen_;
    const TerminalModes& modes_;
    const DialectId& inForce_;
};

}  // namespace quill
