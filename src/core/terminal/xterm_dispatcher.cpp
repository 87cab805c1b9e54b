#include "core/terminal/xterm_dispatcher.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "core/terminal/rendition.h"

namespace quill {

namespace {

constexpr std::string_view kPrimaryAttributes = "\x1b[?62;22c";
constexpr std::string_view kSecondaryAttributes = "\x1b[>1;10;0c";
// DECRPTUI: the unit id xterm reports, all zeros.
constexpr std::string_view kTertiaryAttributes = "\x1bP!|00000000\x1b\\";
constexpr std::string_view kStatusOk = "\x1b[0n";

// DECSTBM's and DECSLRM's first and last row or column of `size`, the last
// cut to the screen; none for an invalid pair, which changes nothing.
std::optional<std::pair<int, int>> MarginsOf(const ControlSequence& s, int size) {
    const int first = PositionOf(s.At(0));
    const int last = std::min(LastPositionOf(s.At(1), size), size - 1);
    if (first >= last) return std::nullopt;
    return std::pair{first, last};
}

}  // namespace

void XtermDispatcher::Escape(std::uint8_t final) {
    switch (final) {
        case '7':
            SaveCursor();
            break;
        case '8':
            RestoreCursor();
            break;
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
        case 'H':
            screen_.SetTabStop();
            break;
        case 'Z':
            send_.SendText(kPrimaryAttributes);
            break;
        case 'c':
            FullReset();
            break;
        case '=':
        case '>':
            modes_.SetApplicationKeypad(final == '=');
            break;
        default:
            break;
    }
}

// VT and FF are line feeds.
void XtermDispatcher::Execute(std::uint8_t b) {
    screen_.FormatEffector(b == '\v' || b == '\f' ? '\n' : b);
}

// ESC # 3 to 6: the line sizes; ESC # 8: DECALN.
void XtermDispatcher::Hash(std::uint8_t b) {
    switch (b) {
        case '3':
            screen_.SetLineSize(LineSize::kDoubleTop);
            break;
        case '4':
            screen_.SetLineSize(LineSize::kDoubleBottom);
            break;
        case '5':
            screen_.SetLineSize(LineSize::kSingle);
            break;
        case '6':
            screen_.SetLineSize(LineSize::kDoubleWidth);
            break;
        case '8':
            screen_.FillScreenWithE();
            break;
        default:
            break;
    }
}

// Sequences without a private marker or an intermediate byte, by far the
// most frequent, are told apart first.
void XtermDispatcher::Control(const ControlSequence& sequence) {
    if (sequence.intermediate == 0 && sequence.marker == 0) {
        Plain(sequence);
    } else if (sequence.intermediate == '!' && sequence.final == 'p' && sequence.marker == 0) {
        SoftReset();
    } else if (sequence.intermediate == ' ' && sequence.final == 'q' && sequence.marker == 0) {
        CursorStyleRequest(sequence.At(0));
    } else if (sequence.intermediate != 0) {
        return;  // mode requests and their kin
    } else if (sequence.marker == '?') {
        Private(sequence);
    } else if (sequence.marker == '>') {
        if (sequence.final == 'c' && sequence.At(0) == 0) send_.SendText(kSecondaryAttributes);
    } else if (sequence.marker == '=') {
        if (sequence.final == 'c' && sequence.At(0) == 0) send_.SendText(kTertiaryAttributes);
    }
}

void XtermDispatcher::Plain(const ControlSequence& s) {
    if (Cursor(s) || Editing(s)) return;
    switch (s.final) {
        case 'c':
            if (s.At(0) == 0) send_.SendText(kPrimaryAttributes);
            break;
        case 'h':
        case 'l':
            for (const int mode : s.Given()) {
                if (mode == 4) screen_.SetInsertMode(s.final == 'h');
            }
            break;
        case 'm':
            Renditions(s);
            break;
        case 'n':
            DeviceStatus(s.At(0));
            break;
        case 'r':
            if (const auto rows = MarginsOf(s, screen_.Geometry().screenRows)) {
                screen_.SetRegion(rows->first, rows->second);
                screen_.CursorTo(0, 0);
            }
            break;
        case 's':
            if (!screen_.SideMarginMode()) {
                SaveCursor();
            } else if (const auto columns = MarginsOf(s, screen_.Geometry().columns)) {
                screen_.SetSideMargins(columns->first, columns->second);
                screen_.CursorTo(0, 0);
            }
            break;
        case 'u':
            RestoreCursor();
            break;
        case 't':
            TitleStack(s);
            break;
        default:
            break;  // media copy (i) among them
    }
}

// Cursor movement and addressing, and tab stops: true when taken.
bool XtermDispatcher::Cursor(const ControlSequence& s) {
    const int n = s.At(0);
    switch (s.final) {
        case 'A':
            screen_.CursorUp(n);
            return true;
        case 'B':
        case 'e':
            screen_.CursorDown(n);
            return true;
        case 'C':
        case 'a':
            screen_.CursorForward(n);
            return true;
        case 'D':
            screen_.CursorBackward(n);
            return true;
        case 'E':
        case 'F':
            s.final == 'E' ? screen_.CursorDown(n) : screen_.CursorUp(n);
            screen_.CarriageReturn();
            return true;
        case 'G':
        case '`':
            screen_.CursorToColumn(PositionOf(n));
            return true;
        case 'H':
        case 'f':
            screen_.CursorTo(PositionOf(n), PositionOf(s.At(1)));
            return true;
        case 'd':
            screen_.CursorToRow(PositionOf(n));
            return true;
        case 'I':
            screen_.TabForward(n);
            return true;
        case 'Z':
            screen_.TabBackward(n);
            return true;
        case 'g':
            if (n == 0) screen_.ClearTabStop();
            if (n == 3) screen_.ClearAllTabStops();
            return true;
        default:
            return false;
    }
}

// Erasing, inserting, deleting and scrolling: true when taken.
bool XtermDispatcher::Editing(const ControlSequence& s) {
    const int n = s.At(0);
    switch (s.final) {
        case 'J':
            screen_.EraseInDisplay(n);
            return true;
        case 'K':
            screen_.EraseInLine(n);
            return true;
        case 'X':
            screen_.EraseChars(n);
            return true;
        case '@':
            screen_.InsertChars(n);
            return true;
        case 'P':
            screen_.DeleteChars(n);
            return true;
        case 'L':
            screen_.InsertLines(n);
            return true;
        case 'M':
            screen_.DeleteLines(n);
            return true;
        case 'S':
            screen_.ScrollRegionUp(n);
            return true;
        case 'T':
            // With more parameters it is mouse highlight tracking, not taken.
            if (s.count == 1) screen_.ScrollRegionDown(n);
            return true;
        case 'b':
            screen_.RepeatCharacter(n);
            return true;
        default:
            return false;
    }
}

// CSI ? ...: DEC private modes, and selective erasing, which is erasing
// here (no cell is protected).
void XtermDispatcher::Private(const ControlSequence& s) {
    switch (s.final) {
        case 'h':
        case 'l':
            Modes(s);
            break;
        case 'J':
            screen_.EraseInDisplay(s.At(0));
            break;
        case 'K':
            screen_.EraseInLine(s.At(0));
            break;
        default:
            break;
    }
}

void XtermDispatcher::Renditions(const ControlSequence& s) {
    Cell pen = screen_.Pen();
    ApplyXtermRenditions(pen, s.Given(), s.subparameters);
    screen_.ScreenSetPen(pen);
}

void XtermDispatcher::DeviceStatus(int request) {
    if (request == 5) send_.SendText(kStatusOk);
    if (request == 6) {
        char text[32];
        std::snprintf(text, sizeof text, "\x1b[%d;%dR", screen_.RelativeRow() + 1,
                      screen_.RelativeColumn() + 1);
        send_.SendText(text);
    }
}

}  // namespace quill
