// The extended terminal's modes (SM/RM and DECSET/DECRST), the alternate
// screens, the saved cursor and the two resets.

#include "core/terminal/xterm_dispatcher.h"

namespace quill {

namespace {

MouseTracking TrackingFor(int mode) {
    switch (mode) {
        case 9:
            return MouseTracking::kPresses;
        case 1000:
            return MouseTracking::kPressesReleases;
        case 1002:
            return MouseTracking::kDrags;
        default:
            return MouseTracking::kAllMotion;
    }
}

}  // namespace

void XtermDispatcher::Modes(const ControlSequence& s) {
    const bool on = s.final == 'h';
    for (const int mode : s.Given()) PrivateMode(mode, on);
}

void XtermDispatcher::PrivateMode(int mode, bool on) {
    switch (mode) {
        case 1:
            modes_.SetApplicationCursorKeys(on);
            break;
        case 3:
            ColumnMode(on);
            break;
        case 5:
            modes_.SetReverseScreen(on);
            break;
        case 6:
            screen_.SetOriginMode(on);
            break;
        case 7:
            screen_.SetAutoWrap(on);
            break;
        case 9:
        case 1000:
        case 1002:
        case 1003:
            // Switching any of them off ends tracking, as in xterm.
            modes_.SetMouse(on ? TrackingFor(mode) : MouseTracking::kOff);
            break;
        case 25:
            modes_.SetCursorVisible(on);
            break;
        case 40:
            modes_.SetAllowColumns(on);
            break;
        case 42:
            modes_.SetNationalSets(on);
            break;
        case 69:
            screen_.SetSideMarginMode(on);
            break;
        case 1006:
            modes_.SetMouseSgr(on);
            break;
        case 2004:
            modes_.SetBracketedPaste(on);
            break;
        case 47:
        case 1047:
        case 1048:
        case 1049:
            AlternateScreen(mode, on);
            break;
        default:
            break;
    }
}

// 47 switches; 1047 also erases the alternate screen as it leaves it; 1048
// saves and restores the cursor; 1049 saves the cursor and erases the
// alternate screen as it enters, and restores the cursor as it leaves. As
// in xterm, the cursor is saved, erased and restored even when the screen
// does not change.
void XtermDispatcher::AlternateScreen(int mode, bool on) {
    if (mode == 1048) {
        on ? SaveCursor() : RestoreCursor();
        return;
    }
    if (mode == 1049 && on) SaveCursor();
    if (mode == 1047 && !on && screen_.AlternateScreen()) screen_.EraseInDisplay(2);
    screen_.SetAlternateScreen(on);
    if (mode == 1049 && on) screen_.EraseInDisplay(2);
    if (mode == 1049 && !on) RestoreCursor();
}

// DECCOLM, while the host may switch columns (else nothing at all, as in
// xterm): 132 or 80 columns, the screen erased, the margins at its edges and
// the cursor home, even when the width was already that.
void XtermDispatcher::ColumnMode(bool wide) {
    if (!modes_.AllowColumns()) return;
    const int columns = wide ? kWideColumns : kColumns;
    modes_.SetWideColumns(wide);
    if (screen_.Geometry().columns != columns) columns_.SwitchColumns(columns);
    screen_.ClearForColumnMode();
}

void XtermDispatcher::SaveCursor() {
    TerminalModes::SavedState state;
    state.row = screen_.CursorRow();
    state.column = screen_.CursorColumn();
    state.wrapPending = screen_.WrapPending();
    state.originMode = screen_.OriginMode();
    state.pen = screen_.Pen();
    state.g0 = modes_.Designation(CharsetSlot::G0);
    state.g1 = modes_.Designation(CharsetSlot::G1);
    state.g1Active = modes_.G1Active();
    modes_.SaveState(screen_.AlternateScreen(), state);
}

void XtermDispatcher::RestoreCursor() {
    const TerminalModes::SavedState& state = modes_.SavedStateOf(screen_.AlternateScreen());
    screen_.RestoreSavedCursor({state.row, state.column, state.wrapPending, state.originMode});
    screen_.ScreenSetPen(state.pen);
    modes_.Designate(CharsetSlot::G0, state.g0);
    modes_.Designate(CharsetSlot::G1, state.g1);
    state.g1Active ? modes_.ActivateG1() : modes_.ActivateG0();
}

// DECSCUSR: 0 is the start's steady block; 1-6 are a blinking and a steady
// block, underline and bar in turn; others change nothing.
void XtermDispatcher::CursorStyleRequest(int style) {
    if (style > 6) return;
    if (style == 0) style = 2;
    constexpr CursorShape kShapes[] = {CursorShape::kBlock, CursorShape::kUnderline,
                                       CursorShape::kBar};
    modes_.SetCursor({kShapes[(style - 1) / 2], style % 2 == 1});
}

// As in xterm, 1 and 2 (the VT100's alternate character ROM) are ASCII;
// other bytes change nothing.
void XtermDispatcher::Designate(CharsetSlot slot, std::uint8_t b) {
    if (b == 'A') modes_.Designate(slot, kCharsetUk);
    if (b == '0') modes_.Designate(slot, kCharsetLineDrawing);
    if (b == '1' || b == '2' || b == 'B') modes_.Designate(slot, kCharsetPlain);
}

void XtermDispatcher::Designate96(CharsetSlot slot, std::uint8_t b) {
    if (b == 'A') modes_.Designate(slot, kCharsetLatin1);
}

// RIS: the terminal as it starts (both screens blank, 80 columns again after
// the host's switch to 132), but for the history and the title.
void XtermDispatcher::FullReset() {
    if (modes_.WideColumns()) columns_.SwitchColumns(kColumns);
    modes_.Reset();
    screen_.SetLink({}, {});
    screen_.ScreenSetPen(Cell{});
    // The alternate screen is blanked whether it shows or not.
    screen_.SetAlternateScreen(true);
    screen_.ClearScreenForReset();
    screen_.SetAlternateScreen(false);
    screen_.ResetEditing();
    screen_.ResetTabStops();
    screen_.ClearScreenForReset();
    titles_.clear();
}

// DECSTR: modes, margins, pen, character sets and the saved cursor as at
// start; the screen and the cursor's place stay.
void XtermDispatcher::SoftReset() {
    const int row = screen_.CursorRow();
    const int column = screen_.CursorColumn();
    modes_.SetCursorVisible(true);
    modes_.SetApplicationCursorKeys(false);
    modes_.SetApplicationKeypad(false);
    modes_.ResetCharsets(kCharsetPlain);
    modes_.SaveState(screen_.AlternateScreen(), {});
    screen_.ScreenSetPen(Cell{});
    screen_.ResetEditing();
    screen_.MoveCursor(row, column);
}

}  // namespace quill
