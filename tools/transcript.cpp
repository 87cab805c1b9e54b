#include "transcript.h"

#include <array>

#include "core/terminal/utf8_codec.h"

namespace quill {

namespace {

// One row as a line of UTF-8 without its trailing blanks.
std::string RowLine(std::span<const Cell> cells) {
    std::size_t length = cells.size();
    while (length > 0 && cells[length - 1].Character() == U' ') --length;
    std::string line;
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t c = 0; c < length; ++c) {
        if (cells[c].Has(cell_flags::kWideRight)) continue;  // a wide character counts once
        const int count = EncodeUtf8(cells[c].Character(), bytes);
        line.append(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(count));
    }
    return line + '\n';
}

}  // namespace

void Transcript::RowScrolledOff(std::span<const Cell> cells) {
    scrolledOff_ += RowLine(cells);
}

std::string Transcript::Text(const ScreenModel& screen) const {
    std::string text = scrolledOff_;
    std::size_t end = text.size();  // after the last row that is not empty
    const int first = screen.FirstScreenRow();
    for (int r = first; r < first + screen.Geometry().screenRows; ++r) {
        const std::string line = RowLine(screen.Row(r));
        text += line;
        if (line != "\n") end = text.size();
    }
    text.resize(end);
    return text;
}

}  // namespace quill
