// Key-down and character paths: the two cursor-key tables, Enter with and
// without CR/LF translation, local echo, and the bytes that are dropped; in
// the extended terminal the editing keys and characters sent as UTF-8.
#include <gtest/gtest.h>

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

TEST_F(KeyboardTest, ExtendedEditingKeysSendVt220SequencesInEitherCursorMode) {
    options.SetExtended(true);
    const std::pair<std::uint16_t, std::uint8_t> keys[] = {
        {vk::kHome, '1'}, {vk::kInsert, '2'}, {vk::kDelete, '3'},
        {vk::kEnd, '4'},  {vk::kPageUp, '5'}, {vk::kPageDown, '6'}};
    for (const char* mode : {"\x1b[?1l", "\x1b[?1h"}) {
        session.Feed(mode, 100);
        for (const auto& [key, digit] : keys) {
            EXPECT_TRUE(terminal.KeyDown(key)) << key;
            EXPECT_EQ(Sent(), (Bytes{0x1b, '[', digit, '~'})) << key << " after " << mode + 1;
        }
    }
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
    for (int c = 0; c < 9; ++c) echoed += static_cast<char>(screen.CharAt(kFirstScreenRow, c));
    EXPECT_EQ(echoed, "\xE9??????a ");
}

}  // namespace
}  // namespace quill::test
