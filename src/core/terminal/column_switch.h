#pragma once

namespace quill {

// What the extended terminal's column mode (DECCOLM) asks of whoever holds
// the screen's shape: a grid of so many columns, its rows as they are, told
// to the window and the host.
class ColumnSwitch {
  public:
    virtual ~ColumnSwitch() = default;
    virtual void SwitchColumns(int columns) = 0;
};

}  // namespace quill
