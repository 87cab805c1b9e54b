#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings/memory_settings_backend.h"
#include "core/settings/terminal_settings.h"

namespace quill {
namespace {

class TerminalSettingsTest : public ::testing::Test {
  protected:
    void Store(std::string_view key, const std::string& text) {
        store.WriteSetting(kSettingsSection, key, text);
    }

    MemorySettingsBackend backend;
    SettingsStore store{backend};
};

TEST_F(TerminalSettingsTest, FreshStoreGivesTheDefaults) {
    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.font, "Courier New");
    EXPECT_EQ(settings.fontsize, 12);
    EXPECT_EQ(settings.fgcolor, (Rgb{0, 0, 0}));
    EXPECT_EQ(settings.bgcolor, (Rgb{255, 255, 255}));
    EXPECT_FALSE(settings.options.CRLFTranslation());
    EXPECT_FALSE(settings.options.LocalEcho());
    EXPECT_FALSE(settings.autoexit);
    EXPECT_FALSE(settings.options.Wrap());
    EXPECT_FALSE(settings.MaximizeOnStart);
    EXPECT_FALSE(settings.options.Extended());
    EXPECT_EQ(settings.options.TerminalType(), "xterm-256color");
    EXPECT_EQ(settings.options.Scrollback(), 10'000);
    EXPECT_TRUE(settings.boldbright);
    EXPECT_TRUE(backend.Values().empty()) << "reading must not create settings";
}

// What a reader of the settings gets, one text per setting; extended and bbs
// are one choice of terminal.
std::vector<std::string> Seen(const TerminalSettings& s) {
    const UserOptions& o = s.options;
    return {s.font,
            std::to_string(s.fontsize),
            FormatColour(s.fgcolor),
            FormatColour(s.bgcolor),
            std::to_string(o.CRLFTranslation()),
            std::to_string(o.LocalEcho()),
            std::to_string(s.autoexit),
            std::to_string(o.Wrap()),
            std::to_string(s.MaximizeOnStart),
            std::to_string(static_cast<int>(o.ChosenDialect())),
            std::string(o.TerminalType()),
            std::to_string(o.Scrollback()),
            std::to_string(s.boldbright)};
}

// Each setting is read from its own key, whatever the case of its name:
// saved alone it changes only what it names, and saved all together (here in
// the reverse of the order the program reads them) each reads back as saved,
// bbs 1 choosing the BBS terminal over extended.
TEST_F(TerminalSettingsTest, EachSettingSavedReadsBackFromItsOwnKey) {
    struct Saved {
        const char* key;
        const char* text;
        std::size_t seen;  // where Seen shows it
        std::string value;
    };
    const std::string extended = std::to_string(static_cast<int>(DialectId::kExtended));
    const std::string bbs = std::to_string(static_cast<int>(DialectId::kBbs));
    const std::vector<Saved> saved{{"Font", "DejaVu Sans Mono", 0, "DejaVu Sans Mono"},
                                   {"FontSize", "-16", 1, "-16"},
                                   {"fgcolor", "10,20,30", 2, "10,20,30"},
                                   {"BGCOLOR", "1 2 3", 3, "1,2,3"},
                                   {"crlftranslation", "1", 4, "1"},
                                   {"LocalEcho", "7", 5, "1"},  // any non-zero value means on
                                   {"AUTOEXIT", "-1", 6, "1"},
                                   {"wrap", "1", 7, "1"},
                                   {"maximizeOnStart", "1", 8, "1"},  // Setup's spelling
                                   {"Extended", "1", 9, extended},
                                   {"TermType", "vt220", 10, "vt220"},
                                   {"scrollback", "500", 11, "500"},
                                   {"bbs", "1", 9, bbs},
                                   {"BoldBright", "0", 12, "0"}};
    const std::vector<std::string> defaults = Seen(ReadTerminalSettings(store));
    std::vector<std::string> together = defaults;
    std::vector<SettingEntry> entries;
    for (const Saved& s : saved) {
        MemorySettingsBackend alone;
        SettingsStore one{alone};
        one.WriteSetting(kSettingsSection, s.key, s.text);
        std::vector<std::string> expected = defaults;
        expected[s.seen] = together[s.seen] = s.value;
        EXPECT_EQ(Seen(ReadTerminalSettings(one)), expected) << s.key;
        entries.insert(entries.begin(), {s.key, s.text});
    }
    store.WriteSettings(kSettingsSection, entries);
    EXPECT_EQ(Seen(ReadTerminalSettings(store)), together);
}

TEST_F(TerminalSettingsTest, DamagedValuesReadAsDefaultsOrZero) {
    Store("font", std::string(80, 'F'));  // does not fit the 80-byte buffer
    Store("fontsize", "twelve");
    Store("fgcolor", "");
    Store("bgcolor", std::string(40, '1'));  // does not fit the 40-byte buffer
    Store("wrap", "yes");
    Store("LocalEcho", "\x01\x02garbage");
    Store("extended", "on");
    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.font, "Courier New");
    EXPECT_EQ(settings.fontsize, 0);
    EXPECT_EQ(settings.fgcolor, kBlack);
    EXPECT_EQ(settings.bgcolor, kWhite);
    EXPECT_FALSE(settings.options.Wrap());
    EXPECT_FALSE(settings.options.LocalEcho());
    EXPECT_FALSE(settings.options.Extended());
}

// The terminal chosen by `bbs` and `extended` together: `bbs` 1 wins, 0 or
// none leaves it to `extended`, and a damaged `bbs` is the plain terminal.
TEST(TerminalChoice, BbsAndExtendedChooseOneTerminal) {
    struct Case {
        const char* bbs;
        const char* extended;
        DialectId chosen;
    };
    for (const Case& c : {Case{"1", "1", DialectId::kBbs}, Case{"1", "0", DialectId::kBbs},
                          Case{"0", "1", DialectId::kExtended}, Case{nullptr, "1", DialectId::kExtended},
                          Case{"on", "1", DialectId::kPlain}, Case{"10", "0", DialectId::kPlain}}) {
        MemorySettingsBackend fresh;
        SettingsStore settings{fresh};
        if (c.bbs != nullptr) settings.WriteSetting(kSettingsSection, "bbs", c.bbs);
        settings.WriteSetting(kSettingsSection, "extended", c.extended);
        EXPECT_EQ(ReadTerminalSettings(settings).options.ChosenDialect(), c.chosen)
            << "bbs " << (c.bbs ? c.bbs : "none") << ", extended " << c.extended;
    }
}

// Numbers a hand-edited or damaged file may hold, read by every numeric
// setting; the sanitizer build runs this too.
TEST_F(TerminalSettingsTest, ExtremeNumbersReadSafely) {
    const std::string overlong(79, '9');
    for (const std::string& extreme :
         {std::string("-2147483648"), std::string("2147483647"), std::string("-99999999999"),
          overlong, "-" + overlong.substr(1), std::string("+-5"), std::string("--1")}) {
        for (const char* key :
             {"fontsize", "CRLFTranslation", "LocalEcho", "autoexit", "wrap", "MaximizeOnStart"}) {
            Store(key, extreme);
        }
        Store("fgcolor", extreme + ",1,2");  // an overlong one does not fit and gives black
        const TerminalSettings settings = ReadTerminalSettings(store);
        EXPECT_EQ(settings.fontsize, 0) << extreme;
        const int value = ParseDecimal(extreme);
        EXPECT_EQ(settings.options.Wrap(), value != 0) << extreme;
        EXPECT_EQ(settings.MaximizeOnStart, value != 0) << extreme;
        const Rgb colour{static_cast<std::uint8_t>(value & 0xFF), 1, 2};
        EXPECT_EQ(settings.fgcolor, extreme.size() < 36 ? colour : kBlack) << extreme;
    }
}

TEST_F(TerminalSettingsTest, FontSizesBeyondTheLimitReadAsTheDefaultHeight) {
    for (const auto& [text, size] : std::vector<std::pair<const char*, int>>{
             {"200", 200}, {"-200", -200}, {"201", 0}, {"-201", 0}, {"100000", 0}}) {
        Store("fontsize", text);
        EXPECT_EQ(ReadTerminalSettings(store).fontsize, size) << text;
    }
}

// A type is 1 to 40 printable ASCII characters; anything else is the default.
TEST_F(TerminalSettingsTest, TerminalTypesOutsideTheRuleReadAsTheDefault) {
    for (const auto& [text, type] : std::vector<std::pair<std::string, std::string>>{
             {"vt220", "vt220"},
             {std::string(40, 'x'), std::string(40, 'x')},
             {"~ !", "~ !"},
             {std::string(41, 'x'), "xterm-256color"},
             {"", "xterm-256color"},
             {"xterm\x7f", "xterm-256color"},
             {"x\ty", "xterm-256color"},
             {"caf\xc3\xa9", "xterm-256color"}}) {
        Store("termtype", text);
        EXPECT_EQ(ReadTerminalSettings(store).options.TerminalType(), type) << text;
    }
}

// The history depth is 0 to 100,000 rows; a damaged text is the default,
// not the 0 it would be as a number.
TEST_F(TerminalSettingsTest, ScrollbackOutsideTheRangeOrDamagedReadsAsTheDefault) {
    const std::vector<std::pair<std::string, int>> cases{
        {"0", 0},     {"100000", 100'000}, {"100001", 10'000},     {"-1", 10'000},
        {"", 10'000}, {"12x", 10'000},     {"99999999999", 10'000}};
    for (const auto& [text, rows] : cases) {
        Store("scrollback", text);
        EXPECT_EQ(ReadTerminalSettings(store).options.Scrollback(), rows) << text;
    }
}

TEST_F(TerminalSettingsTest, LongestFittingFaceNameIsKept) {
    Store("font", std::string(79, 'F'));
    EXPECT_EQ(ReadTerminalSettings(store).font, std::string(79, 'F'));
}

TEST(Colour, TokensSplitAtCommasAndSpaces) {
    const Rgb expected{10, 20, 30};
    for (const char* text :
         {"10,20,30", "10 20 30", "10, 20, 30", " ,10,,  20 ,30,", "10,20,30,40", "10x,20y,30z"}) {
        EXPECT_EQ(ParseColour(text, kWhite), expected) << text;
    }
}

TEST(Colour, NumbersKeepTheirLowEightBits) {
    EXPECT_EQ(ParseColour("300,0,0", kBlack), (Rgb{44, 0, 0}));
    EXPECT_EQ(ParseColour("-1,256,511", kBlack), (Rgb{255, 0, 255}));
    EXPECT_EQ(ParseColour("99999999999,0,0", kBlack), (Rgb{255, 0, 0}));
    // Three tokens that are not numbers are three zeros, not the fallback.
    EXPECT_EQ(ParseColour("red,green,blue", kWhite), kBlack);
}

TEST(Colour, FewerThanThreeTokensGiveTheFallback) {
    for (const char* text : {"", "1,2", "1 2", " , ,", "255", ",,,,,,,,"}) {
        EXPECT_EQ(ParseColour(text, kBlack), kBlack) << text;
        EXPECT_EQ(ParseColour(text, kWhite), kWhite) << text;
    }
}

TEST_F(TerminalSettingsTest, TwoNumberColoursFallBackPerSetting) {
    Store("fgcolor", "1,2");
    Store("bgcolor", "1,2");
    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.fgcolor, kBlack);
    EXPECT_EQ(settings.bgcolor, kWhite);
}

TEST_F(TerminalSettingsTest, WrittenColoursReadBack) {
    EXPECT_EQ(FormatColour(Rgb{0, 128, 255}), "0,128,255");
    Store(kFgColorKey, FormatColour(Rgb{0, 128, 255}));
    Store(kBgColorKey, FormatColour(Rgb{7, 8, 9}));
    std::string text;
    store.ReadSetting("settings", "fgcolor", "", text, 40);
    EXPECT_EQ(text, "0,128,255");
    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.fgcolor, (Rgb{0, 128, 255}));
    EXPECT_EQ(settings.bgcolor, (Rgb{7, 8, 9}));
}

}  // namespace
}  // namespace quill
