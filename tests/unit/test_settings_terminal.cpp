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

// Records the keys asked for, to check the start-up order of reads.
class RecordingBackend final : public SettingsBackend {
  public:
    std::optional<std::string> ReadText(const std::string& section,
                                        const std::string& key) override {
        reads.push_back(section + "/" + key);
        return std::nullopt;
    }
    bool WriteTexts(const std::string&, const std::vector<SettingEntry>&) override { return false; }
    bool Update(const std::function<bool()>& change) override { return change(); }

    std::vector<std::string> reads;
};

TEST(TerminalSettingsOrder, StartUpReadsEachSettingOnceInOrder) {
    RecordingBackend backend;
    SettingsStore store{backend};
    ReadTerminalSettings(store);
    EXPECT_EQ(backend.reads,
              (std::vector<std::string>{"settings/font", "settings/fontsize", "settings/fgcolor",
                                        "settings/bgcolor", "settings/crlftranslation",
                                        "settings/localecho", "settings/autoexit", "settings/wrap",
                                        "settings/maximizeonstart", "settings/extended",
                                        "settings/termtype", "settings/scrollback", "settings/bbs",
                                        "settings/boldbright"}));
}

TEST_F(TerminalSettingsTest, StoredValuesAreRead) {
    Store("Font", "DejaVu Sans Mono");
    Store("FontSize", "-16");
    Store("fgcolor", "10,20,30");
    Store("bgcolor", "1,2,3");
    Store("crlftranslation", "1");
    Store("localecho", "7");  // any non-zero value means on
    Store("AUTOEXIT", "-1");
    Store("wrap", "0");
    Store("maximizeOnStart", "1");  // Setup's spelling of the key
    Store("Extended", "1");
    Store("boldbright", "0");
    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.font, "DejaVu Sans Mono");
    EXPECT_EQ(settings.fontsize, -16);
    EXPECT_EQ(settings.fgcolor, (Rgb{10, 20, 30}));
    EXPECT_EQ(settings.bgcolor, (Rgb{1, 2, 3}));
    EXPECT_TRUE(settings.options.CRLFTranslation());
    EXPECT_TRUE(settings.options.LocalEcho());
    EXPECT_TRUE(settings.autoexit);
    EXPECT_FALSE(settings.options.Wrap());
    EXPECT_TRUE(settings.MaximizeOnStart);
    EXPECT_TRUE(settings.options.Extended());
    EXPECT_FALSE(settings.boldbright);
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
