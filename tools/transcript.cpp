#include "transcript.h"

namespace quill {

namespace {

// One row as a line of UTF-8. The cells hold Latin-1: ASCII, and in the
// extended terminal the bytes from 0xA0 on, which take two bytes in UTF-8.
std::string RowLine(const std::uint8_t* characters) {
    int length = kColumns;
    while (length > 0 && characters[length - 1] == ' ') --length;
    std::string line;
    for (int c = 0; c < length; ++c) {
        const std::uint8_t cell = characters[c];
        if (cell < 0x80) {
            line += static_cast<char>(cell);
        } else {
            line += static_cast<char>(0xC0 | (cell >> 6));
            line += static_cast<char>(0x80 | (cell & 0x3F));
        }
    }
    return line + '\n';
}

}  // namespace

void Transcript::RowScrolledOff(const std::uint8_t* characters) {
    scrolledOff_ += RowLine(characters);
}

std::string Transcript::Text(const ScreenModel& screen) const {
    std::string text = scrolledOff_;
    std::size_t end = text.size();  // after the last row that is not empty
    for (int r = kFirstScreenRow; r < kFirstScreenRow + kScreenRows; ++r) {
        const std::string line = RowLine(&screen.Memory()[r * kColumns]);
        text += line;
        if (line != "\n") end = text.size();
    }
    text.resize(end);
    return text;
}

}  // namespace quill
