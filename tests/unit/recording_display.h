#pragma once

#include <string>
#include <vector>

#include "core/interfaces/display_sink.h"

namespace quill::test {

// Records every request the terminal makes of the window, in order.
class RecordingDisplay final : public DisplaySink {
  public:
    void UpdateNow() override { calls.push_back("update"); }
    void SetCaretPos(int row, int column) override {
        calls.push_back("caret " + std::to_string(row) + " " + std::to_string(column));
    }
    std::vector<std::string> calls;
};

}  // namespace quill::test
