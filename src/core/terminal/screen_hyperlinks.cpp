// The screen model's hyperlinks (OSC 8), for the extended terminal: the pen
// carries the link into the cells it writes.
#include "core/terminal/screen_model.h"

namespace quill {

void ScreenModel::SetLink(std::string_view id, std::string_view target) {
    std::uint16_t entry = links_.Add(id, target);
    const std::size_t cells = static_cast<std::size_t>(BufferRows() - OldestRowInUse()) *
                              static_cast<std::size_t>(columns_);
    if (entry == 0 && !target.empty() && links_.ReclaimDue(cells)) {
        ReclaimLinks();
        entry = links_.Add(id, target);
    }
    penLink_ = static_cast<std::uint16_t>(entry << cell_flags::kLinkShift);
    ScreenSetPen(pen_);
}

// The pen's own link is in use too, for the text still to come.
void ScreenModel::ReclaimLinks() {
    std::vector<bool> used(Hyperlinks::kMaxEntries + 1);
    ForEachKeptRow([&used](std::span<const Cell> cells) {
        for (const Cell& cell : cells) used[cell.Link()] = true;
    });
    used[pen_.Link()] = true;
    links_.Reclaim(used);
}

}  // namespace quill
