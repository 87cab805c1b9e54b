#include "vterm_reference.h"

#include <algorithm>

namespace quill::bench {

VtermReference::VtermReference() : vt_(vterm_new(24, kLineCells)) {
    vterm_set_utf8(vt_, 0);
    static const VTermScreenCallbacks kCallbacks = {
        .damage = nullptr,
        .moverect = nullptr,
        .movecursor = nullptr,
        .settermprop = nullptr,
        .bell = nullptr,
        .resize = nullptr,
        .sb_pushline = PushLine,
        .sb_popline = nullptr,
    };
    VTermScreen* screen = vterm_obtain_screen(vt_);
    vterm_screen_set_callbacks(screen, &kCallbacks, this);
    vterm_screen_reset(screen, 1);
}

VtermReference::~VtermReference() {
    vterm_free(vt_);
}

void VtermReference::Write(const std::uint8_t* bytes, std::size_t count) {
    vterm_input_write(vt_, reinterpret_cast<const char*>(bytes), count);
}

// Keeps the character and a one-byte rendition of every cell, in a ring.
int VtermReference::PushLine(int cols, const VTermScreenCell* cells, void* user) {
    auto& self = *static_cast<VtermReference*>(user);
    Line& line = self.history_[self.nextLine_];
    self.nextLine_ = (self.nextLine_ + 1) % kHistoryLines;
    const int width = std::min(cols, kLineCells);
    for (int i = 0; i < width; ++i) {
        line.chars[i] = static_cast<std::uint8_t>(cells[i].chars[0]);
        line.attrs[i] =
            static_cast<std::uint8_t>(cells[i].attrs.bold | cells[i].attrs.reverse << 2);
    }
    return 1;
}

}  // namespace quill::bench
