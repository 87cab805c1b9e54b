#pragma once

#include <vterm.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace quill::bench {

// libvterm as the reference terminal: an 80 x 24 screen whose scroll-back
// callback keeps the lines that leave the top, as our history does.
class VtermReference {
  public:
    VtermReference();
    ~VtermReference();
    VtermReference(const VtermReference&) = delete;
    VtermReference& operator=(const VtermReference&) = delete;

    void Write(const std::uint8_t* bytes, std::size_t count);

  private:
    static constexpr int kHistoryLines = 275;
    static constexpr int kLineCells = 80;
    struct Line {
        std::array<std::uint8_t, kLineCells> chars;
        std::array<std::uint8_t, kLineCells> attrs;
    };

    static int PushLine(int cols, const VTermScreenCell* cells, void* user);

    VTerm* vt_;
    std::array<Line, kHistoryLines> history_{};
    int nextLine_ = 0;
};

}  // namespace quill::bench
