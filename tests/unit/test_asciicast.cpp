// The text of asciicast events: what the terminal takes, as UTF-8, in JSON.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cast_text.h"
#include "log_to_asciicast.h"

namespace quill {
namespace {

struct CastCase {
    const char* name;
    bool utf8;
    std::vector<std::string> blocks;  // handed on one after another
    std::vector<std::string> texts;   // taken after each block
};

const CastCase kCases[] = {
    {"plain text and sequences pass", false, {"a\033[1mb\r\n\x7f"}, {"a\033[1mb\r\n\x7f"}},
    {"plain high bytes are left out", false, {"\xe9t\x85\xff"}, {"t"}},
    {"extended UTF-8 passes", true, {"caf\xc3\xa9 \xf0\x9f\x98\x80"}, {"caf\xc3\xa9 \xf0\x9f\x98\x80"}},
    {"a cut character waits for the next block",
     true,
     {"a\xe2\x82", "\xac" "b"},
     {"a", "\xe2\x82\xac" "b"}},
    {"a cut character ended by a control byte is malformed",
     true,
     {"\xe2\x82", "\033[m"},
     {"", "\xef\xbf\xbd\033[m"}},
    {"malformed bytes each become U+FFFD", true, {"\xff\xc3x"}, {"\xef\xbf\xbd\xef\xbf\xbdx"}},
};

TEST(CastText, BlocksBecomeEventTexts) {
    for (const CastCase& c : kCases) {
        CastText text(c.utf8);
        for (std::size_t i = 0; i < c.blocks.size(); ++i) {
            const std::string& block = c.blocks[i];
            text.OnTerminalData(reinterpret_cast<const std::uint8_t*>(block.data()),
                                static_cast<int>(block.size()));
            EXPECT_EQ(text.Take(), c.texts[i]) << c.name << ", block " << i;
        }
    }
}

TEST(CastText, CharacterOpenAtTheEndIsMalformed) {
    CastText text(true);
    const std::uint8_t cut[] = {0xf0, 0x9f};
    text.OnTerminalData(cut, 2);
    EXPECT_EQ(text.Take(), "");
    text.EndInput();
    EXPECT_EQ(text.Take(), "\xef\xbf\xbd");
}

TEST(AsciicastEvent, TextIsEscapedForJson) {
    EXPECT_EQ(AsciicastEvent(1.5, "\"a\\b\"\x1b[m\x01\t\r\n\x7f\xc3\xa9"),
              "[1.500000, \"o\", \"\\\"a\\\\b\\\"\\u001b[m\\u0001\\t\\r\\n\x7f\xc3\xa9\"]\n");
    EXPECT_EQ(AsciicastEvent(0.0000004, ""), "[0.000000, \"o\", \"\"]\n");
}

}  // namespace
}  // namespace quill
