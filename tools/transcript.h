#pragma once

#include <span>
#include <string>

#include "core/interfaces/scroll_off_observer.h"
#include "core/terminal/screen_model.h"

namespace quill {

// The text of a session as it went past, for quillterm-replay --transcript:
// every row that left the screen through its top, in order, then the rows of
// the screen, without the empty rows at the end. Each row is one line of
// UTF-8 text without its trailing blanks, ending in LF. Rows erased in place
// never left through the top and are not in it.
class Transcript final : public ScrollOffObserver {
  public:
    void RowScrolledOff(std::span<const Cell> cells) override;
    // The rows scrolled off so far, then those of `screen`.
    std::string Text(const ScreenModel& screen) const;

  private:
    std::string scrolledOff_;
};

}  // namespace quill
