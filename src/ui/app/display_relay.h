#pragma once

#include "core/interfaces/display_sink.h"

namespace quill {

// The screen model exists before the window that shows it: its display
// requests go here and reach the window once it has been created.
class DisplayRelay final : public DisplaySink {
  public:
    void SetTarget(DisplaySink* target) { target_ = target; }

    void UpdateNow() override {
        if (target_ != nullptr) target_->UpdateNow();
    }
    void SetCaretPos(int row, int column) override {
        if (target_ != nullptr) target_->SetCaretPos(row, column);
    }
    void ColumnsSwitched() override {
        if (target_ != nullptr) target_->ColumnsSwitched();
    }

  private:
    DisplaySink* target_ = nullptr;
};

}  // namespace quill
