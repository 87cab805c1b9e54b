#pragma once

#include <cstdint>
#include <string>

#include "core/terminal/terminal_modes.h"

namespace quill {

// ANSI music as BBS software sends it: after CSI N or CSI |, a music string
// (the letters ABCDEFGLMNOPT, digits, space and <>#+-.) up to SO (0x0E);
// after a bare CSI M, the same only when what follows is a music string
// ending in SO, else that CSI M was a delete-line. Music is taken and never
// shown; a byte that no music string has ends it and is input again. The
// bytes after a bare CSI M are held until SO or such a byte decides,
// whichever block they arrive in.
class AnsiMusic {
  public:
    enum class Outcome {
        kTaken,     // the byte belongs to the music (or is held)
        kEnded,     // the byte is the SO that ends the music
        kNotMusic,  // the byte is no music: TakeHeld() and it are input again
    };

    void Begin(MusicStart start);
    Outcome Feed(std::uint8_t b);
    // The bytes held after a bare CSI M, once they turned out not to be music.
    std::string TakeHeld();
    // Whether the bytes are held for a CSI M that may be a delete-line.
    bool Undecided() const { return start_ == MusicStart::kMusicOrDeleteLine; }

  private:
    MusicStart start_ = MusicStart::kNone;
    std::string held_;
};

}  // namespace quill
