// Running a script against the terminal engine, on a clock the test moves:
// what `expect` sees of the host's bytes (across blocks, without Telnet
// commands and escape sequences, in a bounded window), the choices of `or`
// and `if matched`, time-outs, and the bytes that go out, Enter and
// passwords included.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/script/cursor_row_text.h"
#include "core/script/script_runner.h"
#include "replay_session.h"

namespace quill::test {
namespace {

using namespace std::chrono_literals;
using TimePoint = std::chrono::steady_clock::time_point;

struct RecordingHost final : ScriptHost {
    void WakeAt(TimePoint when) override { wake = when; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void RequestPassword(const std::string& name) override { passwordsAsked.push_back(name); }
    void Finished() override { finished = true; }

    std::optional<TimePoint> wake;
    std::vector<std::string> messages;
    std::vector<std::string> passwordsAsked;
    bool finished = false;
};

struct ScriptRunnerTest : ::testing::Test {
    ReplaySession session{true, false};
    RecordingHost host;
    TimePoint now{};
    std::unique_ptr<ScriptRunner> runner;

    void Start(const std::string& text, const std::u32string& shown = {}) {
        auto parsed = ParseScript(text, "t.qs");
        ASSERT_TRUE(std::holds_alternative<Script>(parsed)) << std::get<ScriptError>(parsed).Text();
        runner = std::make_unique<ScriptRunner>(std::get<Script>(std::move(parsed)),
                                                session.terminal(), session.Send(),
                                                session.Options(), host, [this] { return now; });
        session.terminal().SetPrintedTextSink(runner.get());
        runner->Preload(shown);
        Run();
    }
    // What the program does: the runner runs when the wake-up it asked for is due.
    void RunIfWoken() {
        while (host.wake && *host.wake <= now && runner->Running()) {
            host.wake.reset();
            runner->Run();
        }
    }
    void Run() {
        host.wake = now;
        RunIfWoken();
    }
    void Host(std::string_view bytes, int chunk = 100) {
        session.Feed(bytes, chunk);
        RunIfWoken();
    }
    void Advance(std::chrono::milliseconds by) {
        now += by;
        RunIfWoken();
    }
    std::string Sent() {
        const std::vector<std::uint8_t> bytes = session.Send().Sent();
        std::string sent(bytes.begin(), bytes.end());
        session.Send().replies.clear();
        return sent;
    }
};

TEST_F(ScriptRunnerTest, ExpectSeesPrintedTextAcrossBlocksWithoutCommandsAndEscapeSequences) {
    Start("expect \"login: \"\nsendln \"joe\"\nexpect \"Password: \"\nsend \"ok\"");
    EXPECT_EQ(Sent(), "");
    // IAC DO TERMINAL-TYPE and colour changes in the middle of the prompt,
    // handed over three bytes at a time.
    Host("\xff\xfd\x18welcome\r\nlo\x1b[1mgi\x1b[0mn\xff\xf1: ", 3);
    EXPECT_EQ(Sent(), std::string("\xff\xfb\x18", 3) + "joe\r");
    Host("Pass");
    EXPECT_EQ(Sent(), "");
    Host("word: ");
    EXPECT_EQ(Sent(), "ok");
    EXPECT_TRUE(host.finished);
    EXPECT_TRUE(host.messages.empty());

    // The extended terminal decodes UTF-8 first, also split between blocks.
    session.Options().SetExtended(true);
    Start("expect \"gr\xc3\xbc\xc3\x9f\"\nsend \"!\"");
    Host("gr\xc3\xbc\xc3\x9f", 3);
    EXPECT_EQ(Sent(), "!");
}

TEST_F(ScriptRunnerTest, EachExpectSeesOnlyWhatFollowsTheLastMatch) {
    Start("expect \"$ \"\nsend \"1\"\nexpect \"$ \"\nsend \"2\"\nexpect \"$ \"\nsend \"3\"");
    Host("$ $ ");
    EXPECT_EQ(Sent(), "12");
    Host("$");
    EXPECT_EQ(Sent(), "");
    Host(" ");
    EXPECT_EQ(Sent(), "3");
}

TEST_F(ScriptRunnerTest, TheTextThatEndsFirstIsMatchedAndIfMatchedJumpsByItsNumber) {
    const std::string script =
        "expect \"denied\" \"$ \" \"ied\"\n"
        "if matched 1 goto bad\n"
        "if matched 3 goto short\n"
        "sendln \"ls\"\nstop\n"
        "bad:\nstop \"refused\"\n"
        "short:\nsend \"3\"\n";
    Start(script);
    Host("ok $ access denied");
    EXPECT_EQ(Sent(), "ls\r");
    Start(script);
    Host("access denied $ ");  // "denied" and "ied" end together: the lower number
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(host.messages, std::vector<std::string>{"refused"});
}

TEST_F(ScriptRunnerTest, WithinTimesOutToTheOrLabelOrStopsNamingTheLine) {
    Start("expect \"a\" within 2.5 or late\nsend \"on time\"\nstop\nlate:\nsend \"late\"");
    Advance(2499ms);
    EXPECT_EQ(Sent(), "");
    Advance(1ms);
    EXPECT_EQ(Sent(), "late");
    EXPECT_TRUE(host.messages.empty());

    host = RecordingHost();
    Start("send \"x\"\n\nexpect \"a\"\nsend \"never\"");
    EXPECT_EQ(Sent(), "x");
    Advance(29999ms);
    EXPECT_FALSE(host.finished);
    Advance(1ms);
    EXPECT_TRUE(host.finished);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"t.qs, line 3: nothing expected arrived within 30 seconds"});
    Host("a");
    EXPECT_EQ(Sent(), "");
}

TEST_F(ScriptRunnerTest, TheWindowKeepsTheLast64KiCharactersOnly) {
    const std::string script =
        "pause 1\nexpect \"MARK\" within 0 or gone\nsend \"seen\"\nstop\ngone:\nsend \"gone\"";
    Start(script);
    Host("MARK" + std::string(RecentText::kWindow - 4, 'x'));
    Advance(1s);
    EXPECT_EQ(Sent(), "seen");
    Start(script);
    Host("MARK" + std::string(RecentText::kWindow - 3, 'x'));
    Advance(1s);
    EXPECT_EQ(Sent(), "gone");
}

TEST_F(ScriptRunnerTest, SendlnEndsWithWhatEnterSendsAndSendKeepsTelnetCommandsOut) {
    Start("sendln \"a\"");
    EXPECT_EQ(Sent(), "a\r");
    session.Options().SetCRLFTranslation(true);
    Start("sendln \"a\"");
    EXPECT_EQ(Sent(), "a\r\n\r");

    // 255 goes out doubled; beyond ASCII the plain terminal sends nothing,
    // the extended one UTF-8; a \xHH byte is that byte.
    Start("send \"\\xff\\xfd\\x18\xc3\xa9\\x80\"");
    EXPECT_EQ(Sent(), std::string("\xff\xff\xfd\x18\x80", 5));
    session.Options().SetExtended(true);
    Start("send \"\xc3\xa9\"");
    EXPECT_EQ(Sent(), "\xc3\xa9");
    // Over raw TCP 255 is a byte like any other.
    session.terminal().SetRawConnection(true);
    Start("send \"\\xff\"");
    EXPECT_EQ(Sent(), "\xff");
}

TEST_F(ScriptRunnerTest, PasswordIsAskedSentWithEnterNeverShownAndCleared) {
    session.Options().SetLocalEcho(true);  // what `send` sends shows, the password never
    Start("expect \"Password: \"\npassword \"root\"\nsend \"after\"");
    Host("Password: ");
    EXPECT_EQ(host.passwordsAsked, std::vector<std::string>{"root"});
    Host("more text");
    EXPECT_EQ(Sent(), "");
    std::string password = "s\xc3\xa9\x63ret";
    runner->ProvidePassword(password);
    EXPECT_TRUE(password.empty());
    RunIfWoken();
    EXPECT_EQ(Sent(), "scret\rafter");  // the plain terminal: ASCII only
    EXPECT_EQ(session.Render(false).find("scret"), std::string::npos);
    EXPECT_NE(session.Render(false).find("more textafter"), std::string::npos);

    host = RecordingHost();
    Start("password \"root\"\nsend \"after\"");
    runner->PasswordRefused();
    EXPECT_TRUE(host.finished);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Sent(), "");
}

TEST_F(ScriptRunnerTest, PauseWaitsOnTheClockAndAJumpingCircleYieldsToTheWindow) {
    Start("pause 0.5\nsend \"a\"");
    Advance(499ms);
    EXPECT_EQ(Sent(), "");
    Advance(1ms);
    EXPECT_EQ(Sent(), "a");

    Start("pause 1\ntop:\ngoto top");
    now += 1s;
    host.wake.reset();
    runner->Run();  // returns, asking to go on at once
    EXPECT_EQ(host.wake, now);
    EXPECT_TRUE(runner->Running());
    runner->Stop();
    EXPECT_FALSE(runner->Running());
}

TEST_F(ScriptRunnerTest, ACircleThatNeverWaitsStopsAtItsHundredThousandthStepNamingItsLine) {
    // A pause first, so that Start() returns before the circle begins.
    Start("pause 1\na:\ngoto b\nb:\ngoto a");
    now += 1s;
    int runs = 0;
    for (; runs < 200 && runner->Running(); ++runs) runner->Run();
    EXPECT_FALSE(runner->Running());
    // After the pause, 100,000 jumps at 1,000 a turn: the last is on line 5.
    EXPECT_EQ(runs, 100);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{
                  "t.qs, line 5: 100000 steps without waiting for the host or a pause"});

    // A pause in the circle, however short, starts the count again.
    host = RecordingHost();
    Start("pause 1\na:\npause 0\ngoto a");
    now += 1s;
    for (runs = 0; runs < 200 && runner->Running(); ++runs) runner->Run();
    EXPECT_TRUE(runner->Running());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ScriptRunnerTest, AScriptStartedByHandCountsTheCursorsRowAsJustArrived) {
    Host("old text\r\nrouter> ");
    Host("\x1b[1;1Hhidden\x1b[2;9H");
    EXPECT_EQ(CursorRowText(session.terminal().View()), U"router> ");
    Start("expect \"router> \" within 0 or missing\nsend \"seen\"\nstop\nmissing:\n",
          CursorRowText(session.terminal().View()));
    EXPECT_EQ(Sent(), "seen");
    Start("expect \"old\" within 0 or missing\nsend \"seen\"\nstop\nmissing:\n",
          CursorRowText(session.terminal().View()));
    EXPECT_EQ(Sent(), "");
}

}  // namespace
}  // namespace quill::test
