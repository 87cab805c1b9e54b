#include "vterm_comparison.h"

#include <vterm.h>

#include <cstdio>
#include <memory>

#include "core/engine/headless_terminal.h"

namespace quill::test {

namespace {

constexpr int kRows = 24;
constexpr int kColumns = 80;

struct VtermDeleter {
    void operator()(VTerm* vt) const { vterm_free(vt); }
};

// The colour as our cells hold it: default, palette index or direct RGB.
CellColour FromVterm(const VTermColor& colour, bool foreground) {
    if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour)) {
        return CellColour();
    }
    if (VTERM_COLOR_IS_INDEXED(&colour)) return CellColour::Palette(colour.indexed.idx);
    return CellColour::Direct(colour.rgb.red, colour.rgb.green, colour.rgb.blue);
}

// The attributes both terminals have, as our flags.
std::uint16_t FlagsFromVterm(const VTermScreenCellAttrs& a) {
    using namespace cell_flags;
    return static_cast<std::uint16_t>((a.bold ? kBold : 0) | (a.underline ? kUnderline : 0) |
                                      (a.italic ? kItalic : 0) | (a.blink ? kBlink : 0) |
                                      (a.reverse ? kReverse : 0) | (a.strike ? kStrike : 0));
}

std::string Describe(const Cell& cell) {
    char text[96];
    std::snprintf(text, sizeof text, "U+%04X fg %d/%06X bg %d/%06X flags %03X",
                  static_cast<unsigned>(cell.Character()), static_cast<int>(cell.foreground.kind()),
                  cell.foreground.value(), static_cast<int>(cell.background.kind()),
                  cell.background.value(), cell.flags);
    return text;
}

// libvterm's cell in our terms.
Cell FromVterm(const VTermScreenCell& v) {
    Cell cell;
    cell.character = v.chars[0] == 0 ? U' ' : static_cast<char32_t>(v.chars[0]);
    cell.foreground = FromVterm(v.fg, true);
    cell.background = FromVterm(v.bg, false);
    cell.flags = FlagsFromVterm(v.attrs);
    return cell;
}

// A blank cell is compared by its background only (see stream_grammar.cpp).
bool Same(const Cell& ours, const Cell& theirs) {
    if (ours.Character() != theirs.character) return false;
    if (ours.background != theirs.background) return false;
    if (ours.Character() == U' ') return true;
    return ours.foreground == theirs.foreground && ours.flags == theirs.flags;
}

}  // namespace

Comparison CompareWithVterm(std::string_view stream, int chunk) {
    HeadlessTerminal ours;
    ours.Options().SetExtended(true);
    ours.Feed(stream, chunk);

    std::unique_ptr<VTerm, VtermDeleter> vt(vterm_new(kRows, kColumns));
    vterm_set_utf8(vt.get(), 1);
    VTermScreen* screen = vterm_obtain_screen(vt.get());
    vterm_screen_enable_altscreen(screen, 1);
    vterm_screen_reset(screen, 1);
    vterm_input_write(vt.get(), stream.data(), stream.size());

    Comparison result;
    const ScreenModel& model = ours.Screen();
    for (int row = 0; row < kRows; ++row) {
        const auto cells = model.Row(model.FirstScreenRow() + row);
        for (int column = 0; column < kColumns; ++column) {
            VTermScreenCell v;
            vterm_screen_get_cell(screen, VTermPos{row, column}, &v);
            const Cell theirs = FromVterm(v);
            ++result.cells;
            if (!Same(cells[static_cast<std::size_t>(column)], theirs) &&
                result.difference.empty()) {
                result.difference = "row " + std::to_string(row) + " column " +
                                    std::to_string(column) + ": ours " +
                                    Describe(cells[static_cast<std::size_t>(column)]) +
                                    ", libvterm " + Describe(theirs);
            }
        }
    }
    VTermPos cursor;
    vterm_state_get_cursorpos(vterm_obtain_state(vt.get()), &cursor);
    if (result.difference.empty() &&
        (cursor.row != model.CursorRow() || cursor.col != model.CursorColumn())) {
        result.difference = "cursor: ours " + std::to_string(model.CursorRow()) + "," +
                            std::to_string(model.CursorColumn()) + ", libvterm " +
                            std::to_string(cursor.row) + "," + std::to_string(cursor.col);
    }
    return result;
}

std::string Shown(std::string_view stream) {
    std::string shown;
    for (const char c : stream) {
        if (c >= 0x20 && c < 0x7F) {
            shown += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
            shown += hex;
        }
    }
    return shown;
}

}  // namespace quill::test
