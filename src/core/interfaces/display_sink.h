#pragma once

namespace quill {

// What the terminal asks of the window that shows it. The screen model never
// draws and never reports single cells: it records what changed, and the
// window takes that record when it paints.
class DisplaySink {
  public:
    virtual ~DisplaySink() = default;
    // The screen may have changed: bring the window up to date, at once or
    // at the end of the current frame.
    virtual void UpdateNow() = 0;
    // Put the caret on a screen cell (live screen coordinates).
    virtual void SetCaretPos(int row, int column) = 0;
    // The host switched the grid's columns (the extended terminal's column
    // mode): a window that follows the grid takes its width. The screen has
    // the new shape already.
    virtual void ColumnsSwitched() {}
};

// A display that ignores everything: the headless terminal.
class NullDisplay final : public DisplaySink {
  public:
    void UpdateNow() override {}
    void SetCaretPos(int, int) override {}
};

}  // namespace quill
