#pragma once

#include <string>
#include <string_view>

#include "core/interfaces/rgb.h"
#include "core/interfaces/terminal_options.h"
#include "core/settings/settings_store.h"

namespace quill {

// The section of the terminal settings and the names of its keys.
inline constexpr std::string_view kSettingsSection = "Settings";
inline constexpr std::string_view kFontKey = "font";
inline constexpr std::string_view kFontSizeKey = "fontsize";
inline constexpr std::string_view kFgColorKey = "fgcolor";
inline constexpr std::string_view kBgColorKey = "bgcolor";
inline constexpr std::string_view kCRLFTranslationKey = "CRLFTranslation";
inline constexpr std::string_view kLocalEchoKey = "LocalEcho";
inline constexpr std::string_view kAutoexitKey = "autoexit";
inline constexpr std::string_view kWrapKey = "wrap";
// Read at start-up under this name; Setup writes it as "maximizeOnStart",
// which is the same key because names are compared without regard to case.
inline constexpr std::string_view kMaximizeOnStartKey = "MaximizeOnStart";
inline constexpr std::string_view kExtendedKey = "extended";
inline constexpr std::string_view kTermTypeKey = "termtype";
inline constexpr std::string_view kScrollbackKey = "scrollback";
// "1" chooses the BBS terminal, whatever `extended` says; "0" (the default)
// leaves the choice to `extended`; any other text chooses the plain terminal.
inline constexpr std::string_view kBbsKey = "bbs";
// Whether the extended terminal draws bold text in colours 0-7 in the
// bright colours 8-15; 1 (on) unless it is stored as 0.
inline constexpr std::string_view kBoldBrightKey = "boldbright";

// Buffer sizes the stored texts must fit (one byte goes to the terminator).
inline constexpr std::size_t kFontBufferSize = 80;
inline constexpr std::size_t kColourBufferSize = 40;

// The terminal type the extended terminal reports: 1 to 40 printable ASCII
// characters; any other stored text reads as the default.
inline constexpr std::string_view kDefaultTermType = "xterm-256color";
inline constexpr std::size_t kTermTypeLimit = 40;

// The history rows the extended terminal keeps: 0 to 100,000; any other
// stored text reads as the default.
inline constexpr int kDefaultScrollback = 10'000;
inline constexpr int kScrollbackLimit = 100'000;

inline constexpr std::string_view kDefaultFont = "Courier New";
inline constexpr int kDefaultFontSize = 12;
// The largest font height, in pixels either way, a terminal font can sensibly
// have; a stored size beyond it reads as 0, the font's default height.
inline constexpr int kFontSizeLimit = 200;

// The options in use: read at start-up (show codes always starts off),
// changed by the menu and the Setup dialog, read by the engine.
class UserOptions final : public TerminalOptions {
  public:
    bool Wrap() const override { return wrap_; }
    bool LocalEcho() const override { return localEcho_; }
    bool CRLFTranslation() const override { return crlfTranslation_; }
    bool ShowCodes() const override { return showCodes_; }
    DialectId ChosenDialect() const override { return dialect_; }
    std::string_view TerminalType() const override { return termType_; }
    int Scrollback() const override { return scrollback_; }

    void SetWrap(bool on) { wrap_ = on; }
    void SetLocalEcho(bool on) { localEcho_ = on; }
    void SetCRLFTranslation(bool on) { crlfTranslation_ = on; }
    void SetShowCodes(bool on) { showCodes_ = on; }
    void SetDialect(DialectId dialect) { dialect_ = dialect; }
    // The extended terminal, or the plain one.
    void SetExtended(bool on) { dialect_ = on ? DialectId::kExtended : DialectId::kPlain; }
    // A type that is not 1 to 40 printable ASCII characters sets the default.
    void SetTerminalType(std::string_view type);
    // A number of rows outside 0 to 100,000 sets the default.
    void SetScrollback(int rows);

  private:
    bool wrap_ = false;
    bool localEcho_ = false;
    bool crlfTranslation_ = false;
    bool showCodes_ = false;
    DialectId dialect_ = DialectId::kPlain;
    std::string termType_{kDefaultTermType};
    int scrollback_ = kDefaultScrollback;
};

// The fourteen terminal settings, with the values a fresh store gives. Five of
// them (wrap, LocalEcho, CRLFTranslation, extended, bbs) are options the user
// can change while connected (extended and bbs are one choice of terminal);
// they, termtype and scrollback, which the engine reads too, live in
// `options`, their one home.
struct TerminalSettings {
    std::string font{kDefaultFont};
    int fontsize = kDefaultFontSize;
    Rgb fgcolor = kBlack;
    Rgb bgcolor = kWhite;
    bool autoexit = false;
    bool MaximizeOnStart = false;
    bool boldbright = true;
    UserOptions options;
};

// Reads the fourteen settings in start-up order: font, fontsize, fgcolor,
// bgcolor, CRLFTranslation, LocalEcho, autoexit, wrap, MaximizeOnStart,
// extended, and then termtype, scrollback, bbs and boldbright.
TerminalSettings ReadTerminalSettings(SettingsStore& store);

// A colour text: tokens split at commas and spaces, the first three taken as
// integers with their low 8 bits kept; fewer than three tokens give fallback.
Rgb ParseColour(std::string_view text, Rgb fallback);

// "%d,%d,%d" of red, green and blue.
std::string FormatColour(Rgb colour);

}  // namespace quill
