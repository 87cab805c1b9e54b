// Key-down and character paths: the two cursor-key tables, Enter with and
// without CR/LF translation, local echo, and the bytes that are dropped; in
// the extended terminal the keys of its terminfo entry and characters sent
// as UTF-8.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/terminal/key_tables.h"
#include "replay_session.h"

namespace quill::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct KeyboardTest : ::testing::Test {
    ReplaySession session{false, false};
    UserOptions& options = session.Options();
    Terminal& terminal = session.terminal();
    const ScreenModel& screen = terminal.Screen();

    Bytes Sent() {
        Bytes sent = session.Send().Sent();
        session.Send().replies.clear();
        return sent;
    }
    // One press of a key: the key-down path first, then the character path.
    void Press(std::uint16_t key, std::uint16_t character) {
        terminal.KeyDown(key);
        terminal.Character(character);
    }
};

TEST_F(KeyboardTest, CursorKeysFollowTheHostsMode) {
    EXPECT_TRUE(terminal.KeyDown(vk::kUp));
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', 'A'}));
    session.Feed("\x1b[?1h", 100);
    EXPECT_TRUE(terminal.KeyDown(vk::kUp));
    terminal.KeyDown(vk::kLeft);
    EXPECT_EQ(Sent(), (Bytes{0x1b, 'O', 'A', 0x1b, 'O', 'D'}));
    terminal.KeyDown(vk::kF1);
    EXPECT_EQ(Sent(), (Bytes{0x1b, 'O', 'P'}));
    session.Feed("\x1b[?1l", 100);
    terminal.KeyDown(vk::kDown);
    terminal.KeyDown(vk::kF1);
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', 'B', 0x1b, 'O', 'P'}));
}

TEST_F(KeyboardTest, FunctionKeysFiveToTwelveRunFromSixteenWithoutAGap) {
    const char* expected[] = {"16", "17", "18", "19", "20", "21", "22", "23"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(terminal.KeyDown(static_cast<std::uint16_t>(0x74 + i)));
        EXPECT_EQ(Sent(), (Bytes{0x1b, '[', std::uint8_t(expected[i][0]),
                                 std::uint8_t(expected[i][1]), '~'}));
    }
}

TEST_F(KeyboardTest, KeysOutsideTheTablesSendNothingOnTheKeyDownPath) {
    // Home, End, Page Up, Page Down, Insert, Delete, the letter A, Enter.
    for (std::uint16_t key : {0x24, 0x23, 0x21, 0x22, 0x2D, 0x2E, 0x41, 0x0D}) {
        EXPECT_FALSE(terminal.KeyDown(key)) << key;
    }
    EXPECT_EQ(Sent(), Bytes{});
}

TEST_F(KeyboardTest, EnterSendsCrOrCrLfCr) {
    Press(vk::kReturn, '\r');
    EXPECT_EQ(Sent(), (Bytes{'\r'}));
    options.SetCRLFTranslation(true);
    Press(vk::kReturn, '\r');
    EXPECT_EQ(Sent(), (Bytes{'\r', '\n', '\r'}));
}

TEST_F(KeyboardTest, LocalEchoShowsPrintableCharactersOnly) {
    options.SetLocalEcho(true);
    EXPECT_TRUE(terminal.Character('a'));
    EXPECT_TRUE(terminal.Character('\t'));
    EXPECT_TRUE(terminal.Character('\r'));
    EXPECT_EQ(Sent(), (Bytes{'a', '\t', '\r'}));
    EXPECT_EQ(screen.CharAt(kFirstScreenRow, 0), 'a');
    EXPECT_EQ(screen.CharAt(kFirstScreenRow, 1), ' ');
    EXPECT_EQ(screen.CursorColumn(), 1);
}

TEST_F(KeyboardTest, WithoutLocalEchoNothingIsShown) {
    terminal.Character('a');
    EXPECT_EQ(screen.CharAt(kFirstScreenRow, 0), ' ');
    EXPECT_EQ(Sent(), (Bytes{'a'}));
}

TEST_F(KeyboardTest, CodesAbove128AreDropped) {
    EXPECT_TRUE(terminal.Character(128));
    EXPECT_FALSE(terminal.Character(233));
    EXPECT_FALSE(terminal.Character(0x20AC));
    EXPECT_TRUE(terminal.Character(3));  // Ctrl+C
    EXPECT_EQ(Sent(), (Bytes{128, 3}));
}

// The key capabilities of the xterm-256color entry a PC keyboard has, read
// from the system's terminfo: "name=string" with \E for ESC and ^ for controls.
std::map<std::string, Bytes> TerminfoKeys() {
    std::map<std::string, Bytes> keys;
    FILE* pipe = popen("infocmp -1 xterm-256color 2>/dev/null", "r");
    if (pipe == nullptr) return keys;
    char line[256];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        const std::string text(line);
        const std::size_t equals = text.find('=');
        const std::size_t comma = text.rfind(',');
        if (equals == std::string::npos || comma == std::string::npos || comma < equals) continue;
        const std::string name = text.substr(text.find_first_not_of(" \t"), equals - 1);
        Bytes value;
        for (std::size_t i = equals + 1; i < comma; ++i) {
            if (text.compare(i, 2, "\\E") == 0) {
                value.push_back(0x1b);
                ++i;
            } else if (text[i] == '^') {  // ^? is DEL, ^X a control code
                ++i;
                value.push_back(text[i] == '?' ? 0x7f : static_cast<std::uint8_t>(text[i] & 0x1f));
            } else {
                value.push_back(static_cast<std::uint8_t>(text[i]));
            }
        }
        keys[name] = value;
    }
    pclose(pipe);
    return keys;
}

// The terminal's modes and a keyboard of the extended terminal reading them.
struct XtermKeysTest : ::testing::Test {
    TerminalModes modes;
    UserOptions options;
    RecordingSend send;
    struct NoEcho final : LocalEchoTarget {
        void EchoByte(std::uint8_t) override {}
        void EchoCharacter(char32_t) override {}
    } echo;
    Keyboard keyboard{modes, options, send, echo};

    Bytes Key(std::uint16_t key, KeyModifiers modifiers = {}) {
        send.replies.clear();
        keyboard.KeyboardTranslateKey(key, modifiers, kExtendedTerminal);
        return send.Sent();
    }
};

// The keyboard's strokes for the entry's key capabilities. Shift+Insert,
// Shift+Page Up and Shift+Page Down (kIC, kPRV, kNXT) are the program's own.
std::map<std::string, std::pair<std::uint16_t, KeyModifiers>> KeyboardCapabilities() {
    const KeyModifiers none, shift{true}, alt{false, true}, ctrl{false, false, true};
    std::map<std::string, std::pair<std::uint16_t, KeyModifiers>> caps = {
        {"kcuu1", {vk::kUp, none}},         {"kcud1", {vk::kDown, none}},
        {"kcuf1", {vk::kRight, none}},      {"kcub1", {vk::kLeft, none}},
        {"khome", {vk::kHome, none}},       {"kend", {vk::kEnd, none}},
        {"kich1", {vk::kInsert, none}},     {"kdch1", {vk::kDelete, none}},
        {"kpp", {vk::kPageUp, none}},       {"knp", {vk::kPageDown, none}},
        {"kbs", {vk::kBack, none}},         {"kcbt", {vk::kTab, shift}},
        {"kent", {vk::kKeypadEnter, none}}, {"kbeg", {vk::kClear, none}},
        {"kri", {vk::kUp, shift}},          {"kind", {vk::kDown, shift}},
        {"kRIT", {vk::kRight, shift}},      {"kLFT", {vk::kLeft, shift}},
        {"kHOM", {vk::kHome, shift}},       {"kEND", {vk::kEnd, shift}},
        {"kDC", {vk::kDelete, shift}}};
    // F1-F12 alone, then with Shift, Ctrl, Ctrl+Shift, Alt and Alt+Shift: kf1 to kf63.
    const KeyModifiers rounds[] = {none, shift, ctrl, {true, false, true}, alt, {true, true}};
    for (int f = 1; f <= 63; ++f) {
        const auto key = static_cast<std::uint16_t>(vk::kF1 + (f - 1) % 12);
        caps["kf" + std::to_string(f)] = {key, rounds[(f - 1) / 12]};
    }
    return caps;
}

// After the entry's smkx, every key capability the keyboard has sends exactly
// its string; the only ones it does not have are the keypad's corners and
// centre, which xterm sends as digits (NumLock on) or cursor keys (off), and
// the mouse's prefix.
TEST_F(XtermKeysTest, KeysSendTheirTerminfoStringsInKeypadTransmitMode) {
    const std::map<std::string, Bytes> terminfo = TerminfoKeys();
    if (terminfo.empty()) GTEST_SKIP() << "infocmp (ncurses-bin) is not installed";
    ASSERT_EQ(terminfo.at("smkx"), (Bytes{0x1b, '[', '?', '1', 'h', 0x1b, '='}));
    modes.SetApplicationCursorKeys(true);
    modes.SetApplicationKeypad(true);
    const auto caps = KeyboardCapabilities();
    std::set<std::string> unmapped;
    int checked = 0;
    for (const auto& [name, string] : terminfo) {
        if (name.rfind('k', 0) != 0) continue;
        const auto cap = caps.find(name);
        if (cap == caps.end()) {
            unmapped.insert(name);
            continue;
        }
        EXPECT_EQ(Key(cap->second.first, cap->second.second), string) << name;
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(caps.size()));
    EXPECT_EQ(unmapped, (std::set<std::string>{"kIC", "kNXT", "kPRV", "ka1", "ka3", "kb2", "kc1",
                                               "kc3", "kmous"}));
    std::printf("terminfo keys checked: %d\n", checked);
}

// Modifier parameters 7 and 8, which no capability names; Backspace and Tab
// with modifiers; the keypad outside application keypad mode and with NumLock.
TEST_F(XtermKeysTest, ModifiersBackspaceAndTheKeypadAsXtermSendsThem) {
    const KeyModifiers ctrl{false, false, true};
    EXPECT_EQ(Key(vk::kLeft, ctrl), (Bytes{0x1b, '[', '1', ';', '5', 'D'}));
    EXPECT_EQ(Key(vk::kUp, {false, true, true}), (Bytes{0x1b, '[', '1', ';', '7', 'A'}));
    EXPECT_EQ(Key(vk::kDelete, {true, true, true}), (Bytes{0x1b, '[', '3', ';', '8', '~'}));
    EXPECT_EQ(Key(vk::kBack, ctrl), (Bytes{0x08}));
    EXPECT_EQ(Key(vk::kBack, {false, true}), (Bytes{0x1b, 0x7f}));
    EXPECT_EQ(Key(vk::kTab, ctrl), Bytes{});
    EXPECT_EQ(Key(vk::kClear), (Bytes{0x1b, '[', 'E'}));
    EXPECT_EQ(Key(vk::kKeypadEnter), Bytes{});
    modes.SetApplicationKeypad(true);
    EXPECT_EQ(Key(vk::kAdd, {false, false, false, true}), Bytes{});
    EXPECT_EQ(Key(vk::kAdd, {false, false, true, true}), (Bytes{0x1b, 'O', '5', 'k'}));
    EXPECT_EQ(Key(vk::kDivide), (Bytes{0x1b, 'O', 'o'}));
}

// In normal mode the cursor keys, Home and End send their CSI forms; the
// plain terminal's keys stay as they were, whatever the modifiers.
TEST_F(KeyboardTest, ExtendedCursorKeysHomeAndEndSendCsiFormsInNormalMode) {
    options.SetExtended(true);
    for (const std::uint16_t key : {vk::kUp, vk::kLeft, vk::kHome, vk::kEnd}) terminal.KeyDown(key);
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', 'A', 0x1b, '[', 'D', 0x1b, '[', 'H', 0x1b, '[', 'F'}));
    options.SetExtended(false);
    EXPECT_FALSE(terminal.KeyDown(vk::kHome));
    EXPECT_FALSE(terminal.KeyDown(vk::kBack));
    EXPECT_TRUE(terminal.KeyDown(vk::kF1 + 4));
    EXPECT_TRUE(terminal.KeyDown(vk::kLeft, {true, true, true}));  // modifiers count for nothing
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', '1', '6', '~', 0x1b, '[', 'D'}));
}

TEST_F(KeyboardTest, ExtendedSendsCharactersBeyondAsciiAsUtf8AndEchoesThemAsThemselves) {
    options.SetExtended(true);
    options.SetLocalEcho(true);
    for (const char32_t c : {U'\u00E9', U'\u0080', U'\u20AC', U'\u4E2D', U'\U0001F600', U'a'}) {
        EXPECT_TRUE(terminal.Character(c)) << static_cast<int>(c);
    }
    EXPECT_FALSE(terminal.Character(0xD800));  // half a surrogate pair is no character
    EXPECT_EQ(Sent(), (Bytes{0xC3, 0xA9, 0xC2, 0x80, 0xE2, 0x82, 0xAC, 0xE4, 0xB8, 0xAD, 0xF0, 0x9F,
                             0x98, 0x80, 'a'}));
    std::u32string echoed;  // the C1 control U+0080 takes no cell; a wide character two
    for (int c = 0; c < 8; ++c) echoed += screen.CharAt(screen.FirstScreenRow(), c);
    EXPECT_EQ(echoed, U"\u00E9\u20AC\u4E2D \U0001F600 a ");
}

}  // namespace
}  // namespace quill::test
