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

#include "core/interfaces/key.h"
#include "core/terminal/xterm_keys.h"
#include "replay_session.h"

namespace quill::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct KeyboardTest : ::testing::Test {
    ReplaySession session{false, false};
    UserOptions& options = session.Options();
    Terminal& terminal = session.terminal();
    const ScreenModel& screen = session.Screen();

    Bytes Sent() {
        Bytes sent = session.Send().Sent();
        session.Send().replies.clear();
        return sent;
    }
    // A press of a key that gives no character.
    bool Down(Key key, KeyModifiers modifiers = {}) { return terminal.Press({key, modifiers, {}}); }
};

TEST_F(KeyboardTest, CursorKeysFollowTheHostsMode) {
    EXPECT_TRUE(Down(Key::kUp));
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', 'A'}));
    session.Feed("\x1b[?1h", 100);
    EXPECT_TRUE(Down(Key::kUp));
    Down(Key::kLeft);
    EXPECT_EQ(Sent(), (Bytes{0x1b, 'O', 'A', 0x1b, 'O', 'D'}));
    Down(Key::kF1);
    EXPECT_EQ(Sent(), (Bytes{0x1b, 'O', 'P'}));
    session.Feed("\x1b[?1l", 100);
    Down(Key::kDown);
    Down(Key::kF1);
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', 'B', 0x1b, 'O', 'P'}));
}

// The BBS terminal's table, whatever the modifiers and the host's cursor-key
// mode: End sends erase-line's bytes; keys beyond the table send nothing.
// Characters go out as their code page 437 byte, or not at all.
TEST_F(KeyboardTest, BbsKeysAndCharactersGoOutAsThePcSentThem) {
    options.SetDialect(DialectId::kBbs);
    session.Feed("\x1b[?1h", 100);
    Down(Key::kUp);
    Down(Key::kLeft, {.shift = true});
    Down(Key::kHome);
    Down(Key::kEnd);
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', 'A', 0x1b, '[', 'D', 0x1b, '[', 'H', 0x1b, '[', 'K'}));
    EXPECT_FALSE(Down(Key::kF1));
    EXPECT_FALSE(Down(Key::kPageUp));
    EXPECT_TRUE(terminal.Character(U'\u00e9'));
    EXPECT_TRUE(terminal.Character(U'\u2554'));
    EXPECT_TRUE(terminal.Character(U'\u00a0'));
    EXPECT_FALSE(terminal.Character(U'\u20ac'));
    EXPECT_TRUE(terminal.Character(U'a'));
    EXPECT_EQ(Sent(), (Bytes{0x82, 0xc9, 0xff, 'a'}));
}

TEST_F(KeyboardTest, FunctionKeysFiveToTwelveRunFromSixteenWithoutAGap) {
    const char* expected[] = {"16", "17", "18", "19", "20", "21", "22", "23"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(Down(FunctionKey(5 + i)));
        EXPECT_EQ(Sent(), (Bytes{0x1b, '[', std::uint8_t(expected[i][0]),
                                 std::uint8_t(expected[i][1]), '~'}));
    }
}

TEST_F(KeyboardTest, KeysOutsideTheTablesWithoutACharacterSendNothing) {
    for (const Key key : {Key::kHome, Key::kEnd, Key::kPageUp, Key::kPageDown, Key::kInsert,
                          Key::kDelete, Key::kCharacterOnly, Key::kReturn}) {
        EXPECT_FALSE(Down(key)) << static_cast<int>(key);
    }
    EXPECT_EQ(Sent(), Bytes{});
}

TEST_F(KeyboardTest, EnterSendsCrOrCrLfCr) {
    terminal.Press({Key::kReturn, {}, U'\r'});
    EXPECT_EQ(Sent(), (Bytes{'\r'}));
    options.SetCRLFTranslation(true);
    terminal.Press({Key::kReturn, {}, U'\r'});
    EXPECT_EQ(Sent(), (Bytes{'\r', '\n', '\r'}));
}

// One press is the whole key: its sequence instead of its character, in the
// dialect the options choose at that key.
TEST_F(KeyboardTest, APressSendsItsSequenceOrItsCharacterInTheDialectOfTheMoment) {
    const KeyPress backspace{Key::kBackspace, {}, U'\b'};
    EXPECT_TRUE(terminal.Press(backspace));
    EXPECT_EQ(Sent(), (Bytes{0x08}));
    options.SetExtended(true);
    EXPECT_TRUE(terminal.Press(backspace));
    EXPECT_TRUE(terminal.Press({Key::kTab, {}, U'\t'}));
    EXPECT_TRUE(terminal.Press({Key::kTab, {.shift = true}, U'\t'}));
    EXPECT_EQ(Sent(), (Bytes{0x7f, '\t', 0x1b, '[', 'Z'}));
    options.SetExtended(false);
    EXPECT_TRUE(terminal.Press(backspace));
    EXPECT_EQ(Sent(), (Bytes{0x08}));
}

// Alt as Meta, which the extended terminal has: ESC and the character,
// without Enter's CR LF; a key with a sequence sends it with Alt's
// parameter; a key with neither sends nothing.
TEST_F(KeyboardTest, AltSendsEscapeBeforeTheCharacter) {
    options.SetExtended(true);
    options.SetCRLFTranslation(true);
    const KeyModifiers alt{.alt = true};
    EXPECT_TRUE(terminal.Press({Key::kCharacterOnly, alt, U'x'}));
    EXPECT_TRUE(terminal.Press({Key::kReturn, alt, U'\r'}));
    EXPECT_FALSE(terminal.Press({Key::kCharacterOnly, {.alt = true, .control = true}, {}}));
    EXPECT_TRUE(terminal.Press({Key::kUp, alt, {}}));
    EXPECT_EQ(session.Send().replies.size(), 3u) << "each key goes out in one send";
    EXPECT_EQ(Sent(), (Bytes{0x1b, 'x', 0x1b, '\r', 0x1b, '[', '1', ';', '3', 'A'}));
}

// Enter with CR/LF translation is one send too, and its echo follows it.
TEST_F(KeyboardTest, EnterWithCrLfGoesOutInOneSend) {
    options.SetCRLFTranslation(true);
    EXPECT_TRUE(terminal.Press({Key::kReturn, {}, U'\r'}));
    ASSERT_EQ(session.Send().replies.size(), 1u);
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

// The terminal's modes and the extended terminal's keys reading them.
struct XtermKeysTest : ::testing::Test {
    TerminalModes modes;
    Bytes Sends(Key key, KeyModifiers modifiers = {}) {
        const std::optional<KeySequence> sequence = XtermKey(key, modifiers, modes);
        if (!sequence) return {};
        return Bytes(sequence->bytes.begin(), sequence->bytes.begin() + sequence->count);
    }
};

// The keyboard's strokes for the entry's key capabilities. Shift+Insert,
// Shift+Page Up and Shift+Page Down (kIC, kPRV, kNXT) are the program's own.
std::map<std::string, std::pair<Key, KeyModifiers>> KeyboardCapabilities() {
    const KeyModifiers none, shift{true}, alt{false, true}, ctrl{false, false, true};
    std::map<std::string, std::pair<Key, KeyModifiers>> caps = {
        {"kcuu1", {Key::kUp, none}},         {"kcud1", {Key::kDown, none}},
        {"kcuf1", {Key::kRight, none}},      {"kcub1", {Key::kLeft, none}},
        {"khome", {Key::kHome, none}},       {"kend", {Key::kEnd, none}},
        {"kich1", {Key::kInsert, none}},     {"kdch1", {Key::kDelete, none}},
        {"kpp", {Key::kPageUp, none}},       {"knp", {Key::kPageDown, none}},
        {"kbs", {Key::kBackspace, none}},    {"kcbt", {Key::kTab, shift}},
        {"kent", {Key::kKeypadEnter, none}}, {"kbeg", {Key::kBegin, none}},
        {"kri", {Key::kUp, shift}},          {"kind", {Key::kDown, shift}},
        {"kRIT", {Key::kRight, shift}},      {"kLFT", {Key::kLeft, shift}},
        {"kHOM", {Key::kHome, shift}},       {"kEND", {Key::kEnd, shift}},
        {"kDC", {Key::kDelete, shift}}};
    // F1-F12 alone, then with Shift, Ctrl, Ctrl+Shift, Alt and Alt+Shift: kf1 to kf63.
    const KeyModifiers rounds[] = {none, shift, ctrl, {true, false, true}, alt, {true, true}};
    for (int f = 1; f <= 63; ++f) {
        const Key key = FunctionKey(1 + (f - 1) % 12);
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
        EXPECT_EQ(Sends(cap->second.first, cap->second.second), string) << name;
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
    EXPECT_EQ(Sends(Key::kLeft, ctrl), (Bytes{0x1b, '[', '1', ';', '5', 'D'}));
    EXPECT_EQ(Sends(Key::kUp, {false, true, true}), (Bytes{0x1b, '[', '1', ';', '7', 'A'}));
    EXPECT_EQ(Sends(Key::kDelete, {true, true, true}), (Bytes{0x1b, '[', '3', ';', '8', '~'}));
    EXPECT_EQ(Sends(Key::kBackspace, ctrl), (Bytes{0x08}));
    EXPECT_EQ(Sends(Key::kBackspace, {false, true}), (Bytes{0x1b, 0x7f}));
    EXPECT_EQ(Sends(Key::kTab, ctrl), Bytes{});
    EXPECT_EQ(Sends(Key::kBegin), (Bytes{0x1b, '[', 'E'}));
    EXPECT_EQ(Sends(Key::kKeypadEnter), Bytes{});
    modes.SetApplicationKeypad(true);
    EXPECT_EQ(Sends(Key::kKeypadAdd, {false, false, false, true}), Bytes{});
    EXPECT_EQ(Sends(Key::kKeypadAdd, {false, false, true, true}), (Bytes{0x1b, 'O', '5', 'k'}));
    EXPECT_EQ(Sends(Key::kKeypadDivide), (Bytes{0x1b, 'O', 'o'}));
}

// In normal mode the cursor keys, Home and End send their CSI forms; the
// plain terminal's keys stay as they were, whatever the modifiers.
TEST_F(KeyboardTest, ExtendedCursorKeysHomeAndEndSendCsiFormsInNormalMode) {
    options.SetExtended(true);
    for (const Key key : {Key::kUp, Key::kLeft, Key::kHome, Key::kEnd}) Down(key);
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', 'A', 0x1b, '[', 'D', 0x1b, '[', 'H', 0x1b, '[', 'F'}));
    options.SetExtended(false);
    EXPECT_FALSE(Down(Key::kHome));
    EXPECT_FALSE(Down(Key::kBackspace));
    EXPECT_TRUE(Down(Key::kF5));
    EXPECT_TRUE(Down(Key::kLeft, {true, true, true}));  // modifiers count for nothing
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
