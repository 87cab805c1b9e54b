// The screen model's hyperlinks (OSC 8), for the extended terminal: the pen
// carries the link into the cells it writes.
#include "core/terminal/screen_model.h"

namespace quill {

// The pen's own link is in use too, for the text still to come.
void ScreenModel::SetLink(std::string_view id, std::string_view target) {
    const std::uint16_t entry = grid_.AddLink(id, target, pen_.Link());
    penLink_ = static_cast<std::uint16_t>(entry << cell_flags::kLinkShift);
    ScreenSetPen(pen_);
}

}  // namespace quill
