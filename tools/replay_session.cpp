#include "replay_session.h"

#include <array>
#include <cstdio>

#include "core/text/utf8_codec.h"

namespace quill {

namespace {

enum class RowText { kLatin1, kUtf8, kAttributes };

void AppendCharacter(std::string& out, char32_t c) {
    std::array<std::uint8_t, 4> utf8{};
    const int count = EncodeUtf8(c, utf8);
    out.append(reinterpret_cast<const char*>(utf8.data()), static_cast<std::size_t>(count));
}

// Characters as the Latin-1 bytes they are in the plain terminal, as UTF-8
// in the BBS terminal, or attribute codes.
void AppendRows(std::string& out, const ScreenModel& screen, int firstRow, int rows,
                RowText text) {
    for (int r = firstRow; r < firstRow + rows; ++r) {
        out += '|';
        for (const Cell& cell : screen.Row(r)) {
            if (text == RowText::kUtf8) {
                AppendCharacter(out, cell.Character());
            } else {
                out += text == RowText::kAttributes ? static_cast<char>('0' + AttributeCode(cell))
                                                    : static_cast<char>(cell.Character());
            }
        }
        out += "|\n";
    }
}

}  // namespace

ReplaySession::ReplaySession(bool wrap, bool showCodes, DisplaySink* display,
                             ScreenGeometry geometry)
    : HeadlessTerminal(HeadlessSetup{display, false, geometry}) {
    Options().SetWrap(wrap);
    Options().SetShowCodes(showCodes);
}

std::string ReplaySession::Render(bool withHistory) const {
    const ScreenModel& screen = Screen();
    std::string out;
    char line[64];
    std::snprintf(line, sizeof line, "cursor %d %d\nattribute %d\nregion %d %d\n",
                  screen.CursorRow(), screen.CursorColumn(), screen.CurrentAttribute(),
                  screen.RegionTop() + 1, screen.RegionBottom() + 1);
    out += line;
    out += terminal().ApplicationCursorKeys() ? "keys application\n" : "keys normal\n";
    out += "beeps " + std::to_string(Services().beeps) + "\n";
    // Only a terminal whose host set a title has this line.
    if (!Services().title.empty()) out += "title " + Services().title + "\n";
    out += "sent";
    for (std::uint8_t b : Send().Sent()) {
        std::snprintf(line, sizeof line, " %02x", b);
        out += line;
    }
    out += '\n';
    const RowText characters = Options().Bbs() ? RowText::kUtf8 : RowText::kLatin1;
    if (withHistory) {
        out += "history\n";
        AppendRows(out, screen, 0, screen.FirstScreenRow(), characters);
    }
    const int rows = screen.Geometry().screenRows;
    out += "screen\n";
    AppendRows(out, screen, screen.FirstScreenRow(), rows, characters);
    out += "attributes\n";
    AppendRows(out, screen, screen.FirstScreenRow(), rows, RowText::kAttributes);
    return out;
}

}  // namespace quill
