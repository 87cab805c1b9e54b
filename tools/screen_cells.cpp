#include "screen_cells.h"

#include <array>
#include <cstdio>
#include <utility>

namespace quill {

namespace {

void AppendHex(std::string& out, std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    out += text;
}

void AppendColour(std::string& out, CellColour colour) {
    char text[16];
    switch (colour.kind()) {
        case CellColour::Kind::kDefault:
            out += 'd';
            return;
        case CellColour::Kind::kPalette:
            out += std::to_string(colour.value());
            return;
        case CellColour::Kind::kRgb:
            std::snprintf(text, sizeof text, "#%06x", colour.value());
            out += text;
            return;
    }
}

constexpr std::array<std::pair<std::uint16_t, char>, 8> kFlagLetters{{
    {cell_flags::kBold, 'b'},
    {cell_flags::kFaint, 'f'},
    {cell_flags::kItalic, 'i'},
    {cell_flags::kUnderline, 'u'},
    {cell_flags::kBlink, 'k'},
    {cell_flags::kReverse, 'r'},
    {cell_flags::kHidden, 'h'},
    {cell_flags::kStrike, 's'},
}};

}  // namespace

std::string CellText(const Cell& cell, std::u32string_view marks) {
    std::string out;
    if (cell.Has(cell_flags::kWideRight)) {
        out += '-';
    } else {
        AppendHex(out, static_cast<std::uint32_t>(cell.Character()));
        for (const char32_t mark : marks) {
            out += '+';
            AppendHex(out, static_cast<std::uint32_t>(mark));
        }
    }
    out += ',';
    AppendColour(out, cell.foreground);
    out += ',';
    AppendColour(out, cell.background);
    out += ',';
    const std::size_t flagsAt = out.size();
    for (const auto& [flag, letter] : kFlagLetters) {
        if (cell.Has(flag)) out += letter;
    }
    if (out.size() == flagsAt) out += '-';
    return out;
}

std::string ScreenCells(const ScreenModel& screen) {
    const ScreenGeometry& geometry = screen.Geometry();
    std::string out = "size " + std::to_string(geometry.screenRows) + " " +
                      std::to_string(geometry.columns) + "\ncursor " +
                      std::to_string(screen.CursorRow()) + " " +
                      std::to_string(screen.CursorColumn()) + "\n";
    for (int row = 0; row < geometry.screenRows; ++row) {
        out += "row " + std::to_string(row) + ":";
        for (const Cell& cell : screen.Row(screen.FirstScreenRow() + row)) {
            out += ' ';
            out += CellText(cell, screen.Marks(cell));
        }
        out += '\n';
    }
    return out;
}

}  // namespace quill
