#include "transcript.h"

#include "core/view/row_text.h"

namespace quill {

namespace {

// One row as a line of UTF-8 without its trailing blanks.
std::string RowLine(std::span<const Cell> cells) {
    return RowText(cells, nullptr) + '\n';
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
