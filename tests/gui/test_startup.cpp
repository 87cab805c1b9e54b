// Start-up of the program: banners, the connection target, the exit codes
// and the boxes of each failure.
#include <QDialog>
#include <QTcpServer>

#include "session_fixture.h"
#include "ui/resources/command_ids.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

using StartUpTest = SessionTest;

TEST_F(StartUpTest, ShowsBannersTryingLineAndTitlesTheWindowWithTheHostAsTyped) {
    Connect();
    EXPECT_EQ(ScreenRow(0).substr(0, 18), "Quillterm 0.9.32.0");
    EXPECT_EQ(ScreenRow(1), std::string("Windows Socket Transport").append(80 - 24, ' '));
    EXPECT_NE(ScreenRow(2).find("QTcpSocket"), std::string::npos);
    EXPECT_EQ(ScreenRow(3).substr(0, 17), "Trying 127.0.0.1 ");
    EXPECT_EQ(Window().windowTitle(), "127.0.0.1");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(StartUpTest, ExtendedTerminalTitleStackGivesBackTheProgramsOwnTitle) {
    SetSetting("extended", "1");
    Connect();
    ASSERT_TRUE(FromHost("\x1b[22t\x1b]2;vim\x07\x1b[23tpopped", "popped"));
    EXPECT_EQ(Window().windowTitle(), "127.0.0.1");
}

TEST_F(StartUpTest, HostAndPortInOneArgumentAndAPortAboveSixteenBits) {
    const std::string port = std::to_string(65536 + host.Port());
    ASSERT_EQ(StartUp({"127.0.0.1:" + port}), Application::kStarted);
    EXPECT_TRUE(host.WaitForClient());
    EXPECT_EQ(ScreenRow(3).substr(0, 17), "Trying 127.0.0.1 ");
    EXPECT_EQ(app->Target().PortNumber, 65536 + host.Port());
}

// With --raw nothing is Telnet on a real socket: the host's IAC DO TTYPE is
// data (two malformed characters and a CAN in the extended terminal) and no
// answer.
TEST_F(StartUpTest, RawTcpTakesTheHostsBytesAsDataAndAnswersNothing) {
    SetSetting("extended", "1");
    ASSERT_EQ(StartUp({"--raw", "127.0.0.1", std::to_string(host.Port())}),
              Application::kStarted);
    ASSERT_TRUE(host.WaitForClient());
    EXPECT_TRUE(app->Target().Raw);
    host.ClearReceived();
    ASSERT_TRUE(FromHost("\xff\xfd\x18raw", "raw"));
    // U+FFFD twice, as the screen text keeps its low byte.
    EXPECT_NE(ScreenText().find("\xfd\xfdraw"), std::string::npos);
    // The Telnet command items send nothing either.
    Window().OnCommand(CommandId::kSendAreYouThere);
    const std::uint8_t marker = 'm';
    app->Transport().SendBytes(&marker, 1);
    ASSERT_TRUE(PumpUntil([this] { return host.Received().endsWith('m'); }));
    EXPECT_EQ(host.Received(), "m");
}

TEST_F(StartUpTest, ThreeArgumentsAreACommandLineError) {
    EXPECT_EQ(StartUp({"a", "b", "c"}), 3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Commandline error");
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(boxes[0].owned);
    EXPECT_EQ(app->Window(), nullptr);  // the screen and the window are gone
}

TEST_F(StartUpTest, CancelledConnectDialogEndsSilentlyWithThree) {
    connectDialogOk = false;
    EXPECT_EQ(StartUp({}), 3);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(StartUpTest, ConnectDialogSuppliesTheTarget) {
    connectDialogOk = true;
    connectDialogTarget = {"127.0.0.1", host.Port()};
    EXPECT_EQ(StartUp({}), Application::kStarted);
    EXPECT_TRUE(host.WaitForClient());
}

TEST_F(StartUpTest, TheWindowHasTheKeyboardBackAfterTheConnectDialog) {
    bool dialogWasActive = false;
    hooks.connectDialog = [&](ConnectionTarget& target, QWidget* owner) {
        QDialog dialog(owner);
        dialog.show();
        dialog.activateWindow();
        dialogWasActive = PumpUntil([&] { return dialog.isActiveWindow(); });
        dialog.accept();
        target = {"127.0.0.1", host.Port()};
        return 1;
    };
    app = std::make_unique<Application>(store, hooks);
    ASSERT_EQ(StartUp({}), Application::kStarted);
    EXPECT_TRUE(dialogWasActive);
    EXPECT_TRUE(PumpUntil([this] { return Window().isActiveWindow(); }));
    EXPECT_TRUE(Window().View().CaretShown());
}

TEST_F(StartUpTest, UnresolvableHostGivesSocketErrorThenCannotOpen) {
    EXPECT_EQ(StartUp({"no-such-host.invalid"}), 4);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "gethostbyname: Unknown hostname");
    EXPECT_EQ(boxes[0].title, "Socket Error");
    EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes[1].text, "Cannot open the connection");
    EXPECT_EQ(boxes[1].title, "Error");
    EXPECT_EQ(boxes[1].icon, QMessageBox::Critical);
}

TEST_F(StartUpTest, RefusedPortGivesOnlyCannotOpen) {
    quint16 freePort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        freePort = probe.serverPort();
    }
    EXPECT_EQ(StartUp({"127.0.0.1", std::to_string(freePort)}), 4);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Cannot open the connection");
}

TEST_F(StartUpTest, ExitEndsTheLoopWithZeroAndClosesTheConnection) {
    Connect();
    Window().OnCommand(CommandId::kExit);
    EXPECT_TRUE(app->QuitPosted());
    EXPECT_TRUE(Window().Destroyed());
    EXPECT_EQ(app->MessageLoop(), 0);
    EXPECT_TRUE(PumpUntil([this] { return host.ClientGone(); }));
}

TEST_F(StartUpTest, ReadsSettingsAtStartUp) {
    SetSetting("wrap", "1");
    SetSetting("bgcolor", "0, 0 128");
    Connect();
    EXPECT_TRUE(app->Settings().options.Wrap());
    EXPECT_EQ(app->Settings().bgcolor, (Rgb{0, 0, 128}));
}

}  // namespace
}  // namespace quill::test
