#include "transcript.h"

namespace quill {

namespace {

// One row as a line. The cells hold printable ASCII, which is UTF-8 as it is.
std::string RowLine(const std::uint8_t* characters) {
    int length = kColumns;
    while (length > 0 && characters[length - 1] == ' ') --length;
    return std::string(characters, characters + length) + '\n';
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
