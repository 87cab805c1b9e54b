#pragma once

#include <cstdint>

#include "core/interfaces/cell.h"
#include "core/interfaces/cursor_style.h"
#include "core/interfaces/palette.h"

namespace quill {

// Character-set designations.
constexpr int kCharsetPlain = 1;
constexpr int kCharsetLineDrawing = 2;
// The extended terminal's national and Latin-1 sets. ESC ( A is the UK set
// (ASCII with # as the pound sign) while the host has the national sets on
// (?42), else, as in xterm, Latin-1's upper half as a set of 94; ESC - A is
// Latin-1's upper half, whose characters the bytes 0x21-0x7E stand for.
constexpr int kCharsetUk = 3;
constexpr int kCharsetLatin1 = 4;

// Which mouse events the host asked for (none, and then ever more).
enum class MouseTracking {
    kOff,
    kPresses,          // ?9: button presses only
    kPressesReleases,  // ?1000: presses, releases and the wheel
    kDrags,            // ?1002: and motion while a button is down
    kAllMotion         // ?1003: and every motion
};

// What the BBS terminal's host announced may follow a sequence: ANSI music
// (after CSI N or CSI |), or music or else a delete-line (after a bare CSI M).
enum class MusicStart { kNone, kMusic, kMusicOrDeleteLine };

// The two character-set slots SO and SI switch between.
enum class CharsetSlot { G0, G1 };

// The modes the host sets with control sequences and others read: the
// cursor-key mode (the keyboard), the saved cursor, and the character sets
// (text on its way to the screen).
class TerminalModes {
  public:
    bool ApplicationCursorKeys() const { return applicationCursorKeys_; }
    void SetApplicationCursorKeys(bool on) { applicationCursorKeys_ = on; }

    // The extended terminal's modes the keyboard, the mouse, the paste and
    // the window read: application keypad (ESC = and ESC >), bracketed
    // paste (?2004), mouse tracking and its SGR encoding (?1006), the
    // reverse screen (?5) and the visible cursor (?25).
    bool ApplicationKeypad() const { return applicationKeypad_; }
    void SetApplicationKeypad(bool on) { applicationKeypad_ = on; }
    bool BracketedPaste() const { return bracketedPaste_; }
    void SetBracketedPaste(bool on) { bracketedPaste_ = on; }
    MouseTracking Mouse() const { return mouse_; }
    void SetMouse(MouseTracking tracking) { mouse_ = tracking; }
    bool MouseSgr() const { return mouseSgr_; }
    void SetMouseSgr(bool on) { mouseSgr_ = on; }
    bool ReverseScreen() const { return reverseScreen_; }
    void SetReverseScreen(bool on) { reverseScreen_ = on; }
    bool CursorVisible() const { return cursorVisible_; }
    void SetCursorVisible(bool on) { cursorVisible_ = on; }
    CursorStyle Cursor() const { return cursorStyle_; }
    void SetCursor(CursorStyle style) { cursorStyle_ = style; }
    // Column mode, as xterm keeps it: whether the host may switch between 80
    // and 132 columns (?40, off at start and kept by a reset), and whether it
    // switched to 132 (?3).
    bool AllowColumns() const { return allowColumns_; }
    void SetAllowColumns(bool on) { allowColumns_ = on; }
    bool WideColumns() const { return wideColumns_; }
    void SetWideColumns(bool on) { wideColumns_ = on; }
    // ?42: whether ESC ( A designates the UK set rather than Latin-1.
    bool NationalSets() const { return nationalSets_; }
    void SetNationalSets(bool on) { nationalSets_ = on; }

    // DECSC and DECRC in the extended terminal: the position with its
    // waiting wrap, the pen, the character sets and origin mode. The normal
    // and the alternate screen each keep their own.
    struct SavedState {
        int row = 0;
        int column = 0;
        bool wrapPending = false;
        bool originMode = false;
        Cell pen;
        int g0 = kCharsetPlain;
        int g1 = kCharsetPlain;
        bool g1Active = false;
    };
    void SaveState(bool alternate, const SavedState& state) {
        savedStates_[alternate ? 1 : 0] = state;
    }
    const SavedState& SavedStateOf(bool alternate) const { return savedStates_[alternate ? 1 : 0]; }

    // The modes, character sets, palette and saved states as xterm starts
    // with them (RIS).
    void Reset() {
        palette_.ResetAll();
        applicationCursorKeys_ = applicationKeypad_ = bracketedPaste_ = false;
        mouse_ = MouseTracking::kOff;
        mouseSgr_ = reverseScreen_ = false;
        cursorVisible_ = true;
        cursorStyle_ = {};
        wideColumns_ = nationalSets_ = false;
        savedCursor_ = {};
        savedStates_[0] = savedStates_[1] = {};
        ResetCharsets(kCharsetPlain);
    }
    // G0 plain, G1 as given (line drawing in the plain terminal, plain in
    // xterm), G0 active.
    void ResetCharsets(int g1) {
        G0 = kCharsetPlain;
        G1 = g1;
        activeSet_ = &G0;
    }

    // ESC 7 and ESC 8: the position only.
    struct CursorPosition {
        int column = 0;
        int row = 0;
    };
    void SaveCursor(CursorPosition position) { savedCursor_ = position; }
    CursorPosition SavedCursor() const { return savedCursor_; }

    // SO and SI, and the designation of either slot (ESC ( and ESC )). The
    // active set refers to a slot, so a later designation of that slot takes
    // effect at once.
    void ActivateG1() { activeSet_ = &G1; }
    void ActivateG0() { activeSet_ = &G0; }
    bool G1Active() const { return activeSet_ == &G1; }
    void Designate(CharsetSlot slot, int charset) { (slot == CharsetSlot::G0 ? G0 : G1) = charset; }
    int Designation(CharsetSlot slot) const { return slot == CharsetSlot::G0 ? G0 : G1; }
    // The designation by the byte after ESC ( or ESC ): 1, A and B name the
    // plain set, 0 and 2 line drawing; other bytes change nothing.
    void DesignateNamed(CharsetSlot slot, std::uint8_t name) {
        if (name == '1' || name == 'A' || name == 'B') Designate(slot, kCharsetPlain);
        if (name == '0' || name == '2') Designate(slot, kCharsetLineDrawing);
    }
    // Whether characters pass the active set unchanged.
    bool PlainSetActive() const { return *activeSet_ == kCharsetPlain; }
    int ActiveSet() const { return *activeSet_; }
    // ScreenTranslateChar: a byte through the active set; line drawing maps
    // the special-graphics letters to ASCII approximations.
    std::uint8_t ScreenTranslateChar(std::uint8_t b) const {
        if (*activeSet_ != kCharsetLineDrawing) return b;
        if (b >= 'j' && b <= 'n') return '+';
        if (b >= 'o' && b <= 's') return '-';
        if (b >= 't' && b <= 'x') return '|';
        return b;
    }

    // Set by the BBS terminal's sequence handler, taken by the input once
    // the sequence has ended.
    void AnnounceMusic(MusicStart start) { music_ = start; }
    MusicStart TakeMusicStart() {
        const MusicStart start = music_;
        music_ = MusicStart::kNone;
        return start;
    }

    // The colours palette indices name, as the host has set them.
    const Palette& Colours() const { return palette_; }
    Palette& Colours() { return palette_; }

  private:
    Palette palette_;
    bool applicationCursorKeys_ = false;
    bool applicationKeypad_ = false;
    bool bracketedPaste_ = false;
    MouseTracking mouse_ = MouseTracking::kOff;
    bool mouseSgr_ = false;
    bool reverseScreen_ = false;
    bool cursorVisible_ = true;
    CursorStyle cursorStyle_;
    bool allowColumns_ = false;
    bool wideColumns_ = false;
    bool nationalSets_ = false;
    CursorPosition savedCursor_;
    SavedState savedStates_[2];
    MusicStart music_ = MusicStart::kNone;
    int G0 = kCharsetPlain;
    int G1 = kCharsetLineDrawing;
    int* activeSet_ = &G0;
};

}  // namespace quill
