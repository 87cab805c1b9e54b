#pragma once

namespace quill {

// What the screen model asks of the window that shows it. The model never
// draws; it only tells the window which areas are stale and where the caret is.
class DisplaySink {
  public:
    virtual ~DisplaySink() = default;
    // One character cell of the live screen (screen row 0-23, column 0-79) is stale.
    virtual void InvalidateCell(int row, int column) = 0;
    // `count` cells of a row from `column` on are stale, as if each were told.
    virtual void InvalidateCells(int row, int column, int count) {
        for (int i = 0; i < count; ++i) InvalidateCell(row, column + i);
    }
    // The whole window is stale (background erased).
    virtual void InvalidateAll() = 0;
    // Bring the window up to date now.
    virtual void UpdateNow() = 0;
    // Put the caret on a screen cell (live screen coordinates).
    virtual void SetCaretPos(int row, int column) = 0;
};

// A display that ignores everything: the headless terminal.
class NullDisplay final : public DisplaySink {
  public:
    void InvalidateCell(int, int) override {}
    void InvalidateCells(int, int, int) override {}
    void InvalidateAll() override {}
    void UpdateNow() override {}
    void SetCaretPos(int, int) override {}
};

}  // namespace quill
