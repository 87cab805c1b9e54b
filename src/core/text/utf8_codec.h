#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quill {

// Decodes UTF-8 one byte at a time, so that a character split between two
// receive blocks is still one character: the open sequence carries over.
// It takes only the bytes from 0x80 up; a byte below 0x80 that arrives while
// a sequence is open ends it, and whoever sees that byte calls Abandon().
//
// Bytes that form no character are counted as the Unicode standard
// recommends: one malformed character for each maximal subpart, that is the
// longest run that begins like a well-formed sequence (or one byte where
// none begins), so "\xF1\x80\x80" cut off by any other byte is one.
class Utf8Decoder {
  public:
    static constexpr char32_t kNoCharacter = 0xFFFFFFFF;

    // What one byte finished: malformed characters (a cut-off sequence
    // and/or the byte itself), or a character.
    struct Output {
        int malformed = 0;
        char32_t character = kNoCharacter;
    };

    Output Feed(std::uint8_t b);
    // Ends the open sequence; returns the malformed characters it makes:
    // one when a sequence was open, else none.
    int Abandon();
    bool Open() const { return have_ > 0; }

  private:
    void Begin(std::uint8_t lead, Output& out);
    bool Continues(std::uint8_t b) const;

    std::array<std::uint8_t, 4> bytes_{};
    int have_ = 0;
    int need_ = 0;
};

// The UTF-8 bytes of a character: their count, 0 for a value that is no
// character (a surrogate, beyond U+10FFFF).
int EncodeUtf8(char32_t character, std::array<std::uint8_t, 4>& bytes);
// The UTF-8 bytes of a character at the end of `text`; none for no character.
void AppendUtf8(std::string& text, char32_t character);

}  // namespace quill
