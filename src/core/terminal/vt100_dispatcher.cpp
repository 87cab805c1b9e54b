#include "core/terminal/vt100_dispatcher.h"

#include <climits>

namespace quill {

namespace {

constexpr std::uint8_t kIdentifyReply[] = {0x1B, '[', '?', '1', ';', '7', 'c'};

// Cursor movement adds host-supplied counts to positions: keep the sum in int.
int SaturatingAdd(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : (sum < INT_MIN ? INT_MIN : static_cast<int>(sum));
}

int CountOrOne(int parameter) {
    return parameter == 0 ? 1 : parameter;
}

}  // namespace

void Vt100Dispatcher::Escape(std::uint8_t final) {
    switch (final) {
        case '7':
            modes_.SaveCursor({screen_.CursorColumn(), screen_.CursorRow()});
            break;
        case '8': {
            const TerminalModes::CursorPosition saved = modes_.SavedCursor();
            screen_.ScreenSetColumn(saved.column);
            screen_.MoveToRowScrolling(saved.row);
            break;
        }
        case 'D':
            screen_.Index();
            break;
        case 'E':
            screen_.CarriageReturn();
            screen_.Index();
            break;
        case 'M':
            screen_.ReverseIndex();
            break;
        case 'Z':
            send_.SendBytes(kIdentifyReply, sizeof kIdentifyReply);
            break;
        default:
            break;
    }
}

void Vt100Dispatcher::Control(const ControlSequence& sequence) {
    const int first = sequence.parameters[0];
    switch (sequence.final) {
        case 'H':
        case 'f':
            CursorPosition(sequence);
            return;
        case 'm':
            Renditions(sequence);
            return;
        case 'r':
            Region(sequence);
            return;
        default:
            break;
    }
    if (sequence.count > 1) return;
    const int n = CountOrOne(first);
    switch (sequence.final) {
        case 'A':
            screen_.MoveToRowScrolling(SaturatingAdd(screen_.CursorRow(), -n));
            break;
        case 'B':
            screen_.MoveToRowScrolling(SaturatingAdd(screen_.CursorRow(), n));
            break;
        case 'C':
            screen_.ScreenSetColumn(SaturatingAdd(screen_.CursorColumn(), n));
            break;
        case 'D':
            screen_.ScreenSetColumn(SaturatingAdd(screen_.CursorColumn(), -n));
            break;
        case 'J':
            EraseInDisplay(first);
            break;
        case 'K':
            EraseInLine(first);
            break;
        case 'L':
            screen_.DeleteLinesIgnoringRegion(first);
            break;
        case 'M':
            screen_.ScreenRepaint();
            break;
        case 'P':
            screen_.DeleteChars(first);
            break;
        case 'h':
        case 'l':
            if (first == 1) modes_.SetApplicationCursorKeys(sequence.final == 'h');
            break;
        default:
            break;
    }
}

// The plain terminal takes the first parameter of a rendition only, and
// shows bold or reverse: underline and blink are shown as bold.
void Vt100Dispatcher::Renditions(const ControlSequence& sequence) {
    Cell pen = screen_.Pen();
    switch (sequence.parameters[0]) {
        case 1:
        case 4:
        case 5:
            pen.flags = cell_flags::kBold;
            break;
        case 7:
            pen.flags = cell_flags::kReverse;
            break;
        default:
            pen.flags = 0;
    }
    screen_.ScreenSetPen(pen);
}

void Vt100Dispatcher::CursorPosition(const ControlSequence& sequence) {
    const int second = sequence.count > 1 ? sequence.parameters[1] : 0;
    screen_.MoveToRowScrolling(PositionOf(sequence.parameters[0]));
    screen_.ScreenSetColumn(PositionOf(second));
}

// The first and last rows, 1-based with 0 for the screen's edge, taken
// whatever their order; the cursor goes to the region's last row.
void Vt100Dispatcher::Region(const ControlSequence& sequence) {
    const int bottom = sequence.count > 1 ? sequence.parameters[1] : 0;
    screen_.SetRegion(PositionOf(sequence.parameters[0]),
                      LastPositionOf(bottom, screen_.Geometry().screenRows));
    screen_.ScreenSetColumn(0);
    screen_.MoveToRowScrolling(screen_.RegionBottom());
}

void Vt100Dispatcher::EraseInDisplay(int mode) {
    if (mode == 0) screen_.EraseBufferFromCursor();
    if (mode == 1) screen_.EraseBufferToCursor();
    if (mode == 2) screen_.EraseBuffer();
}

// Line erasing writes spaces through the character path, so the blanked cells
// take the current rendition. The last column is left alone when erasing to
// the end of the line, and the cursor's cell when erasing from its start.
void Vt100Dispatcher::EraseInLine(int mode) {
    const int columns = screen_.Geometry().columns;
    if (mode == 0) {
        const int column = screen_.CursorColumn();
        screen_.ScreenWriteSpaces(columns - 1 - column);
        screen_.ScreenSetColumn(column);
    } else if (mode == 1) {
        const int column = screen_.CursorColumn();
        screen_.ScreenSetColumn(0);
        screen_.ScreenWriteSpaces(column);
    } else if (mode == 2) {
        screen_.ScreenSetColumn(0);
        screen_.ScreenWriteSpaces(columns);
        screen_.ScreenSetColumn(0);
    }
}

void Vt100Dispatcher::Hash(std::uint8_t b) {
    if (b == '8') screen_.FillBufferWithE();
}

// OSC 0 (icon name and title) and 2 (title) set the window title; the
// others, OSC 1 (icon name) among them, are taken and do nothing.
void Vt100Dispatcher::OperatingSystemCommand(std::string_view text) {
    const std::size_t separator = text.find(';');
    if (separator == std::string_view::npos) return;
    const std::string_view number = text.substr(0, separator);
    if (number == "0" || number == "2") services_.SetTitle(text.substr(separator + 1));
}

}  // namespace quill
