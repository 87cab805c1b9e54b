#include "replay_session.h"

#include <cstdio>

namespace quill {

namespace {

// Characters as the Latin-1 bytes they are in the plain terminal, or attribute codes.
void AppendRows(std::string& out, const ScreenModel& screen, int firstRow, int rows,
                bool attributes) {
    for (int r = firstRow; r < firstRow + rows; ++r) {
        out += '|';
        for (const Cell& cell : screen.Row(r)) {
            out += attributes ? static_cast<char>('0' + AttributeCode(cell))
                              : static_cast<char>(cell.Character());
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
    const ScreenModel& screen = terminal().Screen();
    std::string out;
    char line[64];
    std::snprintf(line, sizeof line, "cursor %d %d\nattribute %d\nregion %d %d\n",
                  screen.CursorRow(), screen.CursorColumn(), screen.CurrentAttribute(),
                  screen.RegionTop(), screen.RegionBottom());
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
    if (withHistory) {
        out += "history\n";
        AppendRows(out, screen, 0, screen.FirstScreenRow(), false);
    }
    const int rows = screen.Geometry().screenRows;
    out += "screen\n";
    AppendRows(out, screen, screen.FirstScreenRow(), rows, false);
    out += "attributes\n";
    AppendRows(out, screen, screen.FirstScreenRow(), rows, true);
    return out;
}

}  // namespace quill
