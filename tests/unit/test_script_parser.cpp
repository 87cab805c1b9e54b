// Reading a script: every command with its forms, the escapes of strings,
// labels resolved to the steps they stand before; and each fault named with
// its file and line, before anything runs.
#include <gtest/gtest.h>

#include <string>

#include "core/script/script.h"

namespace quill::test {
namespace {

Script Parsed(const std::string& text) {
    auto result = ParseScript(text, "t.qs");
    if (auto* error = std::get_if<ScriptError>(&result)) ADD_FAILURE() << error->Text();
    return std::get<Script>(std::move(result));
}

TEST(ScriptParser, ReadsEveryCommandAndResolvesLabelsToTheStepsAfterThem) {
    const Script script = Parsed(
        "# log in\r\n"
        "\r\n"
        "  start:\n"
        "expect \"login: \" \"Name:\" within 2.5 or start\n"
        "if matched 2 goto end\n"
        "sendln \"a\\tb\\\\\\\"\\e\\r\\n\\x41\\xff\\xAb\"\n"
        "send \"gr\xc3\xbc\xc3\x9f\"\n"
        "password \"root\"\n"
        "pause 0.25\n"
        "\tgoto start\n"
        "stop \"done\"\n"
        "stop\n"
        "end:\n");
    ASSERT_EQ(script.steps.size(), 9u);
    const auto& expect = std::get<ExpectCommand>(script.steps[0].command);
    EXPECT_EQ(script.steps[0].line, 4);
    EXPECT_EQ(expect.texts, (std::vector<ScriptText>{U"login: ", U"Name:"}));
    EXPECT_EQ(expect.within, 2500);
    EXPECT_EQ(expect.orTarget, 0u);
    const auto& ifMatched = std::get<IfMatchedCommand>(script.steps[1].command);
    EXPECT_EQ(ifMatched.number, 2);
    EXPECT_EQ(ifMatched.target, 9u);  // the label at the end: one past the last step
    const auto& sendln = std::get<SendCommand>(script.steps[2].command);
    EXPECT_TRUE(sendln.enter);
    EXPECT_EQ(sendln.text,
              (ScriptText{'a', '\t', 'b', '\\', '"', 0x1B, '\r', '\n', kRawByteBase + 0x41,
                          kRawByteBase + 0xFF, kRawByteBase + 0xAB}));
    const auto& send = std::get<SendCommand>(script.steps[3].command);
    EXPECT_FALSE(send.enter);
    EXPECT_EQ(send.text, U"gr\u00fc\u00df");
    EXPECT_EQ(std::get<PasswordCommand>(script.steps[4].command).name, "root");
    EXPECT_EQ(std::get<PauseCommand>(script.steps[5].command).millis, 250);
    EXPECT_EQ(std::get<GotoCommand>(script.steps[6].command).target, 0u);
    EXPECT_EQ(std::get<StopCommand>(script.steps[7].command).message, "done");
    EXPECT_FALSE(std::get<StopCommand>(script.steps[8].command).message.has_value());
    EXPECT_EQ(std::get<ExpectCommand>(Parsed("expect \"$\"").steps[0].command).within, 30000);
}

TEST(ScriptParser, NamesTheFileTheLineAndTheFault) {
    struct Case {
        std::string text;
        int line;
        std::string what;
    };
    const Case cases[] = {
        {"expect \"a\"\nsned \"x\"", 2, "unknown command 'sned'"},
        {"send hello", 1, "send wants a text in double quotes, not 'hello'"},
        {"send", 1, "send wants a text in double quotes"},
        {"send \"a\" \"b\"", 1, "send takes one text only"},
        {"sendln \"abc", 1, "the string has no closing quote"},
        {"send \"a\\q\"", 1, "unknown escape \\q"},
        {"send \"\\x4\"", 1, "\\x wants two hexadecimal digits"},
        {"send \"\xc3\"", 1, "the string is not UTF-8 text"},
        {"send \"a\"b", 1, "a blank is missing after a string"},
        {"\"login\"", 1, "a line starts with a command, not a string"},
        {"\n\ngoto nowhere", 3, "there is no label nowhere"},
        {"expect \"a\" or missing", 1, "there is no label missing"},
        {"a:\nb:\na:", 3, "the label a is already on line 1"},
        {"expect \"a\" within soon", 1, "within wants a number of seconds"},
        {"expect \"a\" within -1", 1, "within wants a number of seconds"},
        {"expect \"a\" within 1e3", 1, "within wants a number of seconds"},
        {"expect \"a\" or", 1, "or wants a label"},
        {"expect \"a\" or \"b\"", 1, "or wants a label, not a string"},
        {"expect \"a\" or b c", 1, "expect does not take 'c'"},
        {"expect \"\"", 1, "expect wants a text that is not empty"},
        {"expect within 3", 1, "expect wants a text in double quotes"},
        {"pause 1.", 1, "pause wants a number of seconds"},
        {"pause 100000", 1, "pause wants a number of seconds"},
        {"if matched 0 goto a\na:", 1, "if matched wants a text number from 1 up, not '0'"},
        {"if matched 1 goto", 1, "if is written: if matched N goto LABEL"},
        {"password \"\"", 1, "password wants a name that is not empty"},
        {"stop done", 1, "stop wants a text in double quotes, not 'done'"},
        {"bad label:", 1, "unknown command 'bad'"},
    };
    for (const Case& c : cases) {
        const auto result = ParseScript(c.text, "t.qs");
        const auto* error = std::get_if<ScriptError>(&result);
        ASSERT_NE(error, nullptr) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
        EXPECT_EQ(error->what, c.what) << c.text;
    }
    const auto result = ParseScript("expect \"a\"\n\nsned \"x\"\n", "/home/u/login.qs");
    EXPECT_EQ(std::get<ScriptError>(result).Text(),
              "/home/u/login.qs, line 3: unknown command 'sned'");
}

}  // namespace
}  // namespace quill::test
