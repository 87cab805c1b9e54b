#pragma once

#include <array>
#include <cstdint>

#include "core/interfaces/rgb.h"

namespace quill {

// The 256 colours a cell's palette index names: xterm's sixteen, the
// 6 x 6 x 6 cube and the 24 greys. The host may change entries (OSC 4) and
// put them back (OSC 104); the window paints with what is here.
class Palette {
  public:
    static constexpr int kSize = 256;

    Palette() { ResetAll(); }

    Rgb Colour(std::uint8_t index) const { return colours_[index]; }
    void Set(std::uint8_t index, Rgb colour) { colours_[index] = colour; }
    void Reset(std::uint8_t index) { colours_[index] = Default(index); }
    void ResetAll();

    // xterm's colour for an index, as it starts.
    static Rgb Default(std::uint8_t index);
    // The BBS terminal's: the PC's sixteen colours, the others as xterm's.
    static const Palette& Pc();

  private:
    std::array<Rgb, kSize> colours_;
};

}  // namespace quill
