#include "showcase.h"

namespace quill::demo {
namespace {

constexpr std::string_view kEsc = "\x1b";
constexpr int kScreenRows = 24;

std::string At(int row, int column) {
    return std::string(kEsc) + "[" + std::to_string(row) + ";" + std::to_string(column) + "H";
}

std::string Bold(std::string_view text) {
    return std::string(kEsc) + "[1m" + std::string(text) + std::string(kEsc) + "[0m";
}

std::string Reverse(std::string_view text) {
    return std::string(kEsc) + "[7m" + std::string(text) + std::string(kEsc) + "[0m";
}

// Text in the line-drawing set: j k l m n q t u v w x become corners and lines.
std::string Lines(std::string_view text) {
    return std::string(kEsc) + "(0" + std::string(text) + std::string(kEsc) + "(B";
}

// Lines that scroll off the top into the history, then a blank screen.
std::string ScrollBack() {
    std::string out;
    for (int n = 1; n <= kScreenRows; ++n) {
        out += "scroll-back line " + std::to_string(n) + " of " + std::to_string(kScreenRows) +
               ": drag the scroll bar up to read these again\r\n";
    }
    for (int n = 0; n < kScreenRows; ++n) out += "\r\n";
    return out;
}

std::string Box() {
    const std::string rule(44, 'q');
    std::string out = At(5, 3) + Lines("l" + rule + "k");
    const std::string label = " Line drawing: ";
    const std::string sample = "lqwqk tqnqu mqvqj";
    const std::string pad(rule.size() - label.size() - sample.size(), ' ');
    out += At(6, 3) + Lines("x") + label + Lines(sample) + pad + Lines("x");
    out += At(7, 3) + Lines("m" + rule + "j");
    return out;
}

std::string ScrollingRegion() {
    std::string out = At(9, 3) + "A scrolling region, rows 11 to 15 (the rest stays put):";
    out += std::string(kEsc) + "[11;15r" + At(15, 1);
    for (int n = 1; n <= 9; ++n) out += "   region line " + std::to_string(n) + "\r\n";
    out += std::string(kEsc) + "[1;24r";
    return out;
}

}  // namespace

std::string Showcase(std::string_view terminalType) {
    std::string out = ScrollBack();
    out +=
        At(1, 1) + Bold("Quillterm demo host") + "   terminal type: " + std::string(terminalType);
    out += At(3, 3) + "Bold: " + Bold("bold text") + "    Reverse: " + Reverse(" reverse video ");
    out += Box();
    out += ScrollingRegion();
    out += At(18, 1) + "Type a line and press Enter: it comes back with the bytes received.";
    out += At(19, 1) + "Type " + Bold("quit") + " to close the connection.";
    out += At(21, 1) + std::string(kPrompt);
    return out;
}

}  // namespace quill::demo
