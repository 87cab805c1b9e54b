#include "core/terminal/bbs_dispatcher.h"

#include <cstdio>

namespace quill {

namespace {

constexpr std::string_view kAttributes = "\x1b[?1;0c";
constexpr std::string_view kStatusOk = "\x1b[0n";
// The PC's default colours: light grey on black.
constexpr int kDefaultForeground = 7;
constexpr int kDefaultBackground = 0;
constexpr int kBright = 8;
constexpr int kIceColoursMode = 33;

}  // namespace

void BbsDispatcher::Escape(std::uint8_t final) {
    switch (final) {
        case '7':
            SaveCursor();
            break;
        case '8':
            RestoreCursor();
            break;
        case 'Z':
            send_.SendText(kAttributes);
            break;
        default:
            break;
    }
}

void BbsDispatcher::Execute(std::uint8_t b) {
    screen_.FormatEffector(b);
}

void BbsDispatcher::Control(const ControlSequence& s) {
    if (s.intermediate != 0) return;
    if (s.marker == '?') {
        if ((s.final == 'h' || s.final == 'l') && s.At(0) == kIceColoursMode) {
            iceColours_ = s.final == 'h';
            ApplyPen();
        }
    } else if (s.marker == 0) {
        Plain(s);
    }
}

void BbsDispatcher::Plain(const ControlSequence& s) {
    if (Cursor(s) || Editing(s)) return;
    switch (s.final) {
        case 'c':
            if (s.At(0) == 0) send_.SendText(kAttributes);
            break;
        case 'm':
            Renditions(s);
            break;
        case 'n':
            DeviceStatus(s.At(0));
            break;
        case 's':
            SaveCursor();
            break;
        case 'u':
            RestoreCursor();
            break;
        case 'N':
        case '|':
            modes_.AnnounceMusic(MusicStart::kMusic);
            break;
        default:
            break;
    }
}

// Cursor movement and addressing: true when taken.
bool BbsDispatcher::Cursor(const ControlSequence& s) {
    const int n = s.At(0);
    switch (s.final) {
        case 'A':
            screen_.CursorUp(n);
            return true;
        case 'B':
            screen_.CursorDown(n);
            return true;
        case 'C':
            screen_.CursorForward(n);
            return true;
        case 'D':
            screen_.CursorBackward(n);
            return true;
        case 'G':
            screen_.CursorToColumn(PositionOf(n));
            return true;
        case 'H':
        case 'f':
            screen_.CursorTo(PositionOf(n), PositionOf(s.At(1)));
            return true;
        case 'd':
            screen_.CursorToRow(PositionOf(n));
            return true;
        default:
            return false;
    }
}

// Erasing, inserting and deleting: true when taken. A bare CSI M (with no
// parameter at all: CSI 0 M deletes one line) may be ANSI music; the input
// decides, and deletes the line when it is not.
bool BbsDispatcher::Editing(const ControlSequence& s) {
    const int n = s.At(0);
    switch (s.final) {
        case 'J':
            screen_.EraseInDisplay(n);
            return true;
        case 'K':
            screen_.EraseInLine(n);
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
            if (s.bare) {
                modes_.AnnounceMusic(MusicStart::kMusicOrDeleteLine);
            } else {
                screen_.DeleteLines(n);
            }
            return true;
        default:
            return false;
    }
}

void BbsDispatcher::Renditions(const ControlSequence& s) {
    for (const int parameter : s.Given()) Rendition(parameter);
    ApplyPen();
}

void BbsDispatcher::Rendition(int p) {
    if (p >= 30 && p <= 37) {
        foreground_ = p - 30;
    } else if (p >= 40 && p <= 47) {
        background_ = p - 40;
    } else {
        switch (p) {
            case 0:
                foreground_ = background_ = -1;
                bold_ = blink_ = reverse_ = hidden_ = false;
                break;
            case 1:
            case 22:
                bold_ = p == 1;
                break;
            case 5:
            case 25:
                blink_ = p == 5;
                break;
            case 7:
            case 27:
                reverse_ = p == 7;
                break;
            case 8:
                hidden_ = true;
                break;
            case 39:
                foreground_ = -1;
                break;
            case 49:
                background_ = -1;
                break;
            default:
                break;
        }
    }
}

// Bold brightens the foreground; blink, with iCE colours, the background,
// and otherwise blinks. A default colour stays the default unless it is
// brightened.
void BbsDispatcher::ApplyPen() {
    Cell pen;
    if (bold_) {
        pen.foreground = CellColour::Palette(
            static_cast<std::uint8_t>((foreground_ < 0 ? kDefaultForeground : foreground_) + kBright));
    } else if (foreground_ >= 0) {
        pen.foreground = CellColour::Palette(static_cast<std::uint8_t>(foreground_));
    }
    const bool brightBackground = blink_ && iceColours_;
    if (brightBackground) {
        pen.background = CellColour::Palette(
            static_cast<std::uint8_t>((background_ < 0 ? kDefaultBackground : background_) + kBright));
    } else if (background_ >= 0) {
        pen.background = CellColour::Palette(static_cast<std::uint8_t>(background_));
    }
    if (blink_ && !iceColours_) pen.flags |= cell_flags::kBlink;
    if (reverse_) pen.flags |= cell_flags::kReverse;
    if (hidden_) pen.flags |= cell_flags::kHidden;
    screen_.ScreenSetPen(pen);
}

void BbsDispatcher::DeviceStatus(int request) {
    if (request == 5) send_.SendText(kStatusOk);
    if (request == 6) {
        char text[32];
        std::snprintf(text, sizeof text, "\x1b[%d;%dR", screen_.RelativeRow() + 1,
                      screen_.RelativeColumn() + 1);
        send_.SendText(text);
    }
}

// ANSI.SYS keeps the position only.
void BbsDispatcher::SaveCursor() {
    modes_.SaveCursor({screen_.CursorColumn(), screen_.CursorRow()});
}

void BbsDispatcher::RestoreCursor() {
    const TerminalModes::CursorPosition saved = modes_.SavedCursor();
    screen_.CursorTo(saved.row, saved.column);
}

}  // namespace quill
