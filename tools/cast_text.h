#pragma once

#include <cstdint>
#include <string>

#include "core/interfaces/terminal_data_observer.h"
#include "core/text/utf8_codec.h"

namespace quill {

// The bytes a terminal takes, as the UTF-8 text of an asciicast event:
// escape sequences and control bytes pass unchanged. The plain terminal
// draws nothing for the bytes from 0x80 up (its cells never hold them, so
// its copy gives nothing either): they are left out. In the extended
// terminal they are UTF-8; a character cut off by the end of a block is
// held for the next one, and what forms no character becomes U+FFFD, one
// for each malformed character the terminal shows.
class CastText final : public TerminalDataObserver {
  public:
    explicit CastText(bool utf8) : utf8_(utf8) {}

    void OnTerminalData(const std::uint8_t* bytes, int count) override;
    // The text gathered since the last call; a character still open stays.
    std::string Take();
    // The input has ended: a character still open is one malformed one.
    void EndInput();

  private:
    void Malformed(int count);

    bool utf8_;
    Utf8Decoder decoder_;
    std::string text_;
};

}  // namespace quill
