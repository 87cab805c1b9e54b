// The Telnet commands the user sends, from the menu and Ctrl+Break, and the
// host's compressed stream read through the window: the wiring only, the
// negotiation itself is the engine's.
#include <zlib.h>

#include <QCoreApplication>
#include <QKeyEvent>

#include "session_fixture.h"
#include "ui/resources/command_ids.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

using TelnetCommandsTest = SessionTest;

// Each item sends IAC and its command, and nothing shows on the screen.
TEST_F(TelnetCommandsTest, EachItemSendsItsCommand) {
    Connect();
    ASSERT_TRUE(FromHost("ready", "ready"));
    const std::pair<CommandId, char> items[] = {
        {CommandId::kSendBreak, '\xf3'},          {CommandId::kSendInterruptProcess, '\xf4'},
        {CommandId::kSendAbortOutput, '\xf5'},    {CommandId::kSendAreYouThere, '\xf6'},
        {CommandId::kSendEraseCharacter, '\xf7'}, {CommandId::kSendEraseLine, '\xf8'},
        {CommandId::kSendNoOperation, '\xf1'},
    };
    const std::string screen = ScreenText();
    for (const auto& [id, code] : items) {
        EXPECT_EQ(SentBy([&] { Window().OnCommand(id); }), QByteArray("\xff") + code)
            << static_cast<int>(id);
    }
    EXPECT_EQ(ScreenText(), screen);
}

// Synch's DM goes as TCP urgent data: with urgent data kept out of the
// stream, the host's stream holds only the IAC (the bytes before and after
// go as ever).
TEST_F(TelnetCommandsTest, SynchSendsItsDataMarkAsUrgentData) {
    Connect();
    host.TakeUrgentDataOutOfBand();
    EXPECT_EQ(SentBy([&] {
                  Window().OnCommand(CommandId::kSendNoOperation);
                  Window().OnCommand(CommandId::kSendSynch);
              }),
              QByteArray("\xff\xf1\xff"));
}

// Ctrl+Break arrives under X11 as key 0 with Control and Break's keysym.
TEST_F(TelnetCommandsTest, ControlBreakSendsBreak) {
    Connect();
    const auto sent = SentBy([&] {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::ControlModifier, 0x6e, 0xff6b, 0x4);
        QCoreApplication::sendEvent(&Window().View(), &press);
    });
    EXPECT_EQ(sent, QByteArray("\xff\xf3"));
}

// A compressed stream that inflates to far more than one read slice takes
// is shown whole, though the host sends nothing after it.
TEST_F(TelnetCommandsTest, CompressedFloodIsShownWhole) {
    Connect();
    app->Settings().options.SetExtended(true);
    std::string text;
    for (int line = 0; line < 20000; ++line) text += "line " + std::to_string(line) + "\r\n";
    text += "the end";
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    QByteArray compressed(static_cast<qsizetype>(size), '\0');
    compress2(reinterpret_cast<Bytef*>(compressed.data()), &size,
              reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()), 9);
    compressed.resize(static_cast<qsizetype>(size));
    ASSERT_TRUE(FromHost("\xff\xfb\x56\xff\xfa\x56\xff\xf0" + compressed, "the end"))
        << ScreenText();
    EXPECT_NE(ScreenText().find("line 19999"), std::string::npos);
}

}  // namespace
}  // namespace quill::test
