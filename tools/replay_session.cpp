#include "replay_session.h"

#include <algorithm>
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

ReplaySession::ReplaySession(bool wrap, bool showCodes, DisplaySink& display) : display(display) {
    screen.BlankScreenMemory();
    options.SetWrap(wrap);
    options.SetShowCodes(showCodes);
}

void ReplaySession::Feed(std::string_view bytes, int chunk) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        const std::size_t length = std::min<std::size_t>(chunk, bytes.size() - at);
        inbound.ProcessInbound(data + at, static_cast<int>(length));
    }
}

std::string ReplaySession::Render(bool withHistory) const {
    std::string out;
    char line[64];
    std::snprintf(line, sizeof line, "cursor %d %d\nattribute %d\nregion %d %d\n",
                  screen.CursorRow(), screen.CursorColumn(), screen.CurrentAttribute(),
                  screen.RegionTop(), screen.RegionBottom());
    out += line;
    out += escape.CursorKeyMode() == 1 ? "keys application\n" : "keys normal\n";
    out += "beeps " + std::to_string(services.beeps) + "\nsent";
    for (std::uint8_t b : send.sent) {
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
