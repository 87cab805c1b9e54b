// Key-down and character paths: the two cursor-key tables, Enter with and
// without CR/LF translation, local echo, and the bytes that are dropped; in
// the extended terminal the keys of its terminfo entry and characters sent
// as UTF-8.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
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
// from the system's terminfo: "name=string" with \E for ESC.
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
            const bool escape = text.compare(i, 2, "\\E") == 0;
            value.push_back(escape ? 0x1b : static_cast<std::uint8_t>(text[i]));
            if (escape) ++i;
        }
        keys[name] = value;
    }
    pclose(pipe);
    return keys;
}

// After the entry's smkx, every key sends exactly its terminfo string.
TEST_F(KeyboardTest, ExtendedKeysSendTheirTerminfoStringsInKeypadTransmitMode) {
    const std::map<std::string, Bytes> terminfo = TerminfoKeys();
    if (terminfo.empty()) GTEST_SKIP() << "infocmp (ncurses-bin) is not installed";
    std::vector<std::pair<std::string, std::uint16_t>> caps = {
        {"kcuu1", vk::kUp},    {"kcud1", vk::kDown},   {"kcuf1", vk::kRight},
        {"kcub1", vk::kLeft},  {"khome", vk::kHome},   {"kend", vk::kEnd},
        {"kich1", vk::kInsert}, {"kdch1", vk::kDelete}, {"kpp", vk::kPageUp},
        {"knp", vk::kPageDown}};
    for (int f = 1; f <= 12; ++f) {
        caps.emplace_back("kf" + std::to_string(f), static_cast<std::uint16_t>(vk::kF1 + f - 1));
    }
    options.SetExtended(true);
    session.Feed(std::string(terminfo.at("smkx").begin(), terminfo.at("smkx").end()), 100);
    for (const auto& [cap, key] : caps) {
        ASSERT_TRUE(terminfo.count(cap)) << cap;
        EXPECT_TRUE(terminal.KeyDown(key)) << cap;
        EXPECT_EQ(Sent(), terminfo.at(cap)) << cap;
    }
}

// In normal mode the cursor keys, Home and End send their CSI forms; the
// plain terminal's keys stay as they were.
TEST_F(KeyboardTest, ExtendedCursorKeysHomeAndEndSendCsiFormsInNormalMode) {
    options.SetExtended(true);
    for (const std::uint16_t key : {vk::kUp, vk::kLeft, vk::kHome, vk::kEnd}) terminal.KeyDown(key);
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', 'A', 0x1b, '[', 'D', 0x1b, '[', 'H', 0x1b, '[', 'F'}));
    options.SetExtended(false);
    EXPECT_FALSE(terminal.KeyDown(vk::kHome));
    EXPECT_TRUE(terminal.KeyDown(vk::kF1 + 4));
    EXPECT_EQ(Sent(), (Bytes{0x1b, '[', '1', '6', '~'}));
}

TEST_F(KeyboardTest, ExtendedSendsCharactersBeyondAsciiAsUtf8AndEchoesWhatTheGridKeeps) {
    options.SetExtended(true);
    options.SetLocalEcho(true);
    for (const char32_t c : {U'\u00E9', U'\u0080', U'\u20AC', U'\u4E2D', U'\U0001F600', U'a'}) {
        EXPECT_TRUE(terminal.Character(c)) << static_cast<int>(c);
    }
    EXPECT_FALSE(terminal.Character(0xD800));  // half a surrogate pair is no character
    EXPECT_EQ(Sent(), (Bytes{0xC3, 0xA9, 0xC2, 0x80, 0xE2, 0x82, 0xAC, 0xE4, 0xB8, 0xAD, 0xF0, 0x9F,
                             0x98, 0x80, 'a'}));
    std::string echoed;
    for (int c = 0; c < 9; ++c)
        echoed += static_cast<char>(screen.CharAt(screen.FirstScreenRow(), c));
    EXPECT_EQ(echoed, "\xE9??????a ");
}

}  // namespace
}  // namespace quill::test
