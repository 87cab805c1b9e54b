// The grammar of the differential streams. Left out, or only generated
// where libvterm 0.1.4 agrees with xterm, because libvterm differs there:
// * more than 16 parameters (libvterm crashes): at most 16 are generated;
// * LF and IND at the bottom margin keep a pending wrap in libvterm, and
//   ?7l does not cancel one: LF and IND come after a CR, ?7l too; RI, ED,
//   EL, ECH, ICH and DCH keep one too (xterm drops it for all of them): a
//   BS and a CUF (which cancel it) come before them;
// * CUU, CUD (and CNL, CPL, VPR) ignore the margins in libvterm: generated
//   only while no scrolling region is set;
// * ICH and DCH do nothing outside the scrolling region in libvterm:
//   generated only while no region is set;
// * an invalid DECSTBM resets the margins in libvterm: only valid ones;
// * wide characters: the text is ASCII;
// * erasing and scrolling fill with the whole pen in libvterm, the
//   background only in xterm: the comparison looks only at the character
//   and the background of blank cells;
// * DECSC does not save the character sets in libvterm: the character sets
//   are put back to ASCII before every save and restore of the cursor;
// * libvterm has no faint or hidden attribute: SGR 2, 8 and 28 are left out;
// * REP with no character before it hangs libvterm, and libvterm's REP
//   ignores insert mode and the line's end: REP comes right after a CR and
//   a letter, not in insert mode, and does not reach the line's end;
// * DECALN leaves the cursor where it was in libvterm, xterm homes it; IL
//   and DL keep the cursor's column in libvterm, xterm puts it at the left
//   margin: a cursor move follows them, to where xterm puts it;
// * DECSTR keeps the pen, the character sets, insert, origin and auto-wrap
//   mode and the margins in libvterm: all are put back before it;
// * DECALN keeps the margins in libvterm, xterm resets them: they are
//   reset before it;
// * libvterm's DECSC does not save origin mode, and its DECRC in origin
//   mode counts from the scrolling region in force: the cursor is restored
//   only in the origin mode it was saved in, and in origin mode only under
//   the region it was saved under;
// * ?47 does not switch screens in libvterm: left out;
// * libvterm shows the special graphics y and z as U+2A7D and U+2A7E, xterm
//   as U+2264 and U+2265, and _ as itself, xterm as a blank: no y, z or _
//   while the graphics set is in use;
// * libvterm's left and right margins (?69, DECSLRM) differ from xterm's in
//   CR (column 0, where xterm goes to the left margin), in wrapping (at the
//   screen's edge for a cursor left of the margin), with auto-wrap off (at
//   the screen's edge) and in homing in origin mode: left out;
// * ?1047h clears the alternate screen in libvterm, not in xterm: it comes
//   only while the alternate screen is blank;
// * RIS on the alternate screen leaves the normal screen as it was in
//   libvterm; xterm blanks both: RIS on the normal screen only;
// * CSI s is DECSLRM in libvterm even while the side margins are off,
//   where xterm saves the cursor: CSI s and CSI u are left out;
// * libvterm's DECSC and DECRC neither save nor restore a pending wrap, and
//   a wrap that waits survives its DECRC: a BS and a CUF come before every
//   save and restore of the cursor;
// * DECRC with nothing saved restores a pen of undefined colours in
//   libvterm: the cursor is restored only after a save;
// * libvterm keeps one saved cursor, xterm one for each screen: the cursor
//   is saved and restored only on the normal screen, and ?1049l only
//   leaves an alternate screen ?1049h entered;
// * DECALN and entering the alternate screen (?1047h) fill with the pen in
//   libvterm, with the default rendition in xterm: the pen is reset first;
// * DECCOLM (?3, which xterm takes only while ?40 allows it) changes the
//   grid's width, which libvterm leaves to its user and the comparison's
//   fixed grid does not follow, and the line sizes (ESC # 3 to 6) keep the
//   cursor and the text in the half a double row shows only in xterm:
//   neither is generated (unit tests cover them).

#include "stream_grammar.h"

#include <string>
#include <vector>

namespace quill::test {

namespace {

constexpr const char* kCsi = "\x1b[";
constexpr int kMaxSgrParameters = 16;

class Grammar {
  public:
    explicit Grammar(Choices& choices) : c_(choices) {}

    std::string Stream(int pieces) {
        for (int i = 0; i < pieces && c_.Left(); ++i) Piece();
        return out_;
    }

  private:
    unsigned Pick(unsigned bound) { return c_.Below(bound); }
    bool Chance(unsigned percent) { return Pick(100) < percent; }

    // A parameter: often omitted, else 0 to `high`.
    std::string Number(int high) {
        if (Chance(15)) return "";
        return std::to_string(Pick(static_cast<unsigned>(high) + 1));
    }

    void Csi(const std::string& body) { out_ += kCsi + body; }

    void Piece() {
        switch (Pick(16)) {
            case 0:
            case 1:
            case 2:
                Text();
                break;
            case 3:
                Controls();
                break;
            case 4:
            case 5:
                CursorMove();
                break;
            case 6:
                Erase();
                break;
            case 7:
                Edit();
                break;
            case 8:
            case 9:
                Renditions();
                break;
            case 10:
                Margins();
                break;
            case 11:
                Modes();
                break;
            case 12:
                Tabs();
                break;
            case 13:
                Charsets();
                break;
            case 14:
                SaveRestore();
                break;
            default:
                Rare();
                break;
        }
    }

    void Text() {
        const unsigned length = 1 + Pick(Chance(20) ? 90 : 12);
        for (unsigned i = 0; i < length; ++i) {
            const char c = static_cast<char>(0x20 + Pick(0x5F));
            out_ += Graphics() && (c == 'y' || c == 'z' || c == '_') ? 'x' : c;
        }
        if (!insert_ && Chance(15)) {
            out_ += "\r" + std::string(1, static_cast<char>('A' + Pick(26)));
            Csi(std::to_string(1 + Pick(20)) + "b");
        }
    }

    void Controls() {
        static const char* const kControls[] = {"\r\n",
                                                "\r",
                                                "\b",
                                                "\t",
                                                "\x1b"
                                                "E",
                                                "\r\x1b"
                                                "D",
                                                "\b\x1b[C\x1bM"};
        out_ += kControls[Pick(std::size(kControls))];
    }

    void CursorMove() {
        const std::string n = Number(Chance(70) ? 10 : 100);
        switch (Pick(Margined() ? 6 : 11)) {
            case 0:
                Csi(Number(26) + ";" + Number(84) + (Chance(50) ? "H" : "f"));
                break;
            case 1:
                Csi(n + "G");
                break;
            case 2:
                Csi(n + "`");
                break;
            case 3:
                Csi(n + (Chance(50) ? "C" : "a"));
                break;
            case 4:
                Csi(n + "D");
                break;
            case 5:
                // A control byte inside the sequence acts where it is.
                Csi(Number(24) + (Chance(50) ? "\r" : "\t") + ";" + Number(80) + "H");
                break;
            case 6:
                Csi(n + "A");
                break;
            case 7:
                Csi(n + (Chance(50) ? "B" : "e"));
                break;
            case 8:
                Csi(n + "E");
                break;
            case 9:
                Csi(n + "F");
                break;
            default:
                Csi(n + "d");
                break;
        }
    }

    bool Margined() const { return region_; }

    // A BS and a CUF: a wrap that waits is cancelled, in both terminals.
    void CancelWrap() { out_ += "\b\x1b[C"; }

    void Erase() {
        CancelWrap();
        switch (Pick(3)) {
            case 0:
                Csi(Number(3) + "J");
                break;
            case 1:
                Csi(Number(2) + "K");
                break;
            default:
                Csi(Number(90) + "X");
                break;
        }
    }

    void Edit() {
        const std::string n = Number(Chance(80) ? 5 : 90);
        const std::string finals = region_ ? "LMST" : "LMST@P";
        const char final = finals[Pick(static_cast<unsigned>(finals.size()))];
        if (final == '@' || final == 'P') CancelWrap();
        Csi(n + final);
        if (final == 'L' || final == 'M') out_ += "\r";
    }

    // 38 or 48 with 5;N or 2;R;G;B (or with colons); `parameters` counts them.
    std::string Colour(int& parameters) {
        const std::string sep = Chance(50) ? ":" : ";";
        std::string colour = Chance(50) ? "38" : "48";
        if (Chance(50)) {
            parameters += 3;
            return colour + sep + "5" + sep + std::to_string(Pick(256));
        }
        parameters += 5;
        colour += sep + "2";
        for (int i = 0; i < 3; ++i) colour += sep + std::to_string(Pick(256));
        return colour;
    }

    void Renditions() {
        static const int kSimple[] = {0,  1,  3,  4,  5,  7,  9,  21, 22, 23,  24,  25, 27,
                                      29, 30, 31, 32, 33, 34, 35, 36, 37, 39,  40,  41, 42,
                                      43, 44, 45, 46, 47, 49, 90, 91, 97, 100, 101, 107};
        std::string body;
        int parameters = 0;
        const unsigned wanted = Pick(6);
        for (unsigned i = 0; i <= wanted; ++i) {
            if (!body.empty()) body += ";";
            if (Chance(20)) {
                int taken = parameters;
                const std::string colour = Colour(taken);
                if (taken > kMaxSgrParameters) break;
                body += colour;
                parameters = taken;
            } else if (Chance(10)) {
                ++parameters;  // an empty parameter, which is 0
            } else {
                body += std::to_string(kSimple[Pick(std::size(kSimple))]);
                ++parameters;
            }
            if (parameters >= kMaxSgrParameters) break;
        }
        Csi(body + "m");
    }

    void Margins() {
        if (Chance(50)) {
            const unsigned top = 1 + Pick(22);
            const unsigned bottom = top + 1 + Pick(24 - top);
            Csi(std::to_string(top) + ";" + std::to_string(bottom) + "r");
            region_ = true;
            ++regions_;
        } else {
            Csi("r");
            region_ = false;
            ++regions_;
        }
    }

    void Modes() {
        switch (Pick(6)) {
            case 0:
                origin_ = Chance(50);
                Csi(origin_ ? "?6h" : "?6l");
                break;
            case 1:
                out_ += Chance(50) ? "\r\x1b[?7l" : "\x1b[?7h";
                break;
            case 2:
                insert_ = Chance(50);
                Csi(insert_ ? "4h" : "4l");
                break;
            case 3:
                Csi(Chance(50) ? "?25l" : "?25h");
                break;
            default:
                Screens();
                break;
        }
    }

    void Screens() {
        PlainCharsets();
        CancelWrap();
        out_ += "\x1b[0m";
        if (alternate_) {
            const bool restore = via1049_ && origin_ == savedOrigin_ && Chance(50);
            Csi(restore ? "?1049l" : "?1047l");
            altClean_ = !restore;
            alternate_ = via1049_ = false;
        } else if (Chance(50)) {
            via1049_ = !altClean_ || Chance(50);
            Csi(via1049_ ? "?1049h" : "?1047h");
            if (via1049_) Saved();
            alternate_ = true;
        } else {
            const bool save = !Restorable() || Chance(50);
            Csi(save ? "?1048h" : "?1048l");
            if (save) Saved();
        }
    }

    bool Restorable() const {
        return saved_ && origin_ == savedOrigin_ && (!origin_ || regions_ == savedRegions_);
    }
    void Saved() {
        saved_ = true;
        savedOrigin_ = origin_;
        savedRegions_ = regions_;
    }

    void Tabs() {
        switch (Pick(4)) {
            case 0:
                out_ += "\x1bH";
                break;
            case 1:
                Csi(Chance(50) ? "g" : "3g");
                break;
            case 2:
                Csi(Number(4) + "I");
                break;
            default:
                Csi(Number(4) + "Z");
                break;
        }
    }

    void Charsets() {
        switch (Pick(6)) {
            case 0:
            case 1:
                g0_ = Chance(50);
                out_ += g0_ ? "\x1b(0" : "\x1b(B";
                break;
            case 2:
            case 3:
                g1_ = Chance(50);
                out_ += g1_ ? "\x1b)0" : "\x1b)B";
                break;
            default:
                shifted_ = Chance(50);
                out_ += shifted_ ? "\x0e" : "\x0f";
                break;
        }
    }

    bool Graphics() const { return shifted_ ? g1_ : g0_; }

    void PlainCharsets() {
        out_ += "\x1b(B\x1b)B\x0f";
        g0_ = g1_ = shifted_ = false;
    }

    void SaveRestore() {
        if (alternate_) return;
        PlainCharsets();
        CancelWrap();
        const bool save = !Restorable() || Chance(50);
        if (save) Saved();
        out_ += save ? "\x1b"
                       "7"
                     : "\x1b"
                       "8";
    }

    void Rare() {
        switch (Pick(6)) {
            case 0:
                if (alternate_) out_ += "\x1b[0m\x1b[?1047l";
                altClean_ = true;
                out_ +=
                    "\x1b"
                    "c";
                region_ = saved_ = g0_ = g1_ = shifted_ = alternate_ = via1049_ = origin_ =
                    insert_ = false;
                break;
            case 1:
                PlainCharsets();
                insert_ = false;
                Csi("0m\x1b[?6l\x1b[?7h\x1b[4l\x1b[r\x1b[!p");
                origin_ = false;
                region_ = saved_ = false;
                break;
            case 2:
                out_ += "\x1b[0m\x1b[r";
                out_ += "\x1b#8\x1b[H";
                region_ = false;
                break;
            case 3:
                out_ += Chance(50) ? "\x1b]0;a title\x07" : "\x1b]4;1;rgb:ff/80/00\x1b\\";
                break;
            case 4:
                out_ += "\x1bP1$r0m\x1b\\";
                break;
            default:
                Csi(Chance(50) ? "2 q" : "5i");
                break;
        }
    }

    Choices& c_;
    std::string out_;
    bool region_ = false;
    // Whether the cursor has been saved since the last reset.
    bool saved_ = false;
    // Whether G0 and G1 hold the special graphics, and G1 is in use.
    bool g0_ = false;
    bool g1_ = false;
    bool shifted_ = false;
    bool insert_ = false;
    // Origin mode, now and when the cursor was saved.
    bool origin_ = false;
    bool savedOrigin_ = false;
    // Regions set so far, now and when the cursor was saved.
    int regions_ = 0;
    int savedRegions_ = 0;
    // Whether the alternate screen shows, and was entered with ?1049h.
    bool alternate_ = false;
    bool via1049_ = false;
    // Whether the alternate screen is blank while not shown.
    bool altClean_ = true;
};

}  // namespace

std::string GenerateStream(Choices& choices, int pieces) {
    return Grammar(choices).Stream(pieces);
}

}  // namespace quill::test
