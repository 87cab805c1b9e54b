// The message table of the main window: socket events, scrolling, commands,
// menus, the popup and the window's size.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>

#include "session_fixture.h"
#include "ui/app/window_messages.h"
#include "ui/resources/command_ids.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

using namespace msg;
using MainWindowTest = SessionTest;

QByteArray Lines(int first, int last) {
    QByteArray text;
    for (int i = first; i <= last; ++i) text += "line " + QByteArray::number(i) + "\r\n";
    return text;
}

TEST_F(MainWindowTest, DataArrivingWithTheCloseIsShownBeforeTheBox) {
    Connect();
    host.Send("last words\r\n");
    host.Close();
    ASSERT_TRUE(PumpUntil([this] { return !boxes.empty(); }));
    EXPECT_EQ(boxes[0].text, "Connection closed");
    EXPECT_EQ(boxes[0].title, "Quillterm");
    EXPECT_TRUE(boxes[0].owned);
    EXPECT_NE(boxes[0].screenAtThatTime.find("last words"), std::string::npos);
    EXPECT_TRUE(Window().Destroyed());
    EXPECT_TRUE(app->QuitPosted());
}

TEST_F(MainWindowTest, ALargeBurstBeforeTheCloseIsShownWhole) {
    Connect();
    // More than the transport reads ahead and more than one read slice takes.
    QByteArray burst;
    for (int i = 0; i < 20000; ++i) burst += "filler line " + QByteArray::number(i) + "\r\n";
    host.Send(burst + "THE END");
    host.Close();
    ASSERT_TRUE(PumpUntil([this] { return !boxes.empty(); }, 20000));
    EXPECT_NE(boxes[0].screenAtThatTime.find("filler line 19999"), std::string::npos);
    EXPECT_NE(boxes[0].screenAtThatTime.find("THE END"), std::string::npos);
}

TEST_F(MainWindowTest, AutoexitClosesWithoutABox) {
    SetSetting("autoexit", "1");
    Connect();
    host.Close();
    ASSERT_TRUE(PumpUntil([this] { return app->QuitPosted(); }));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(app->MessageLoop(), 0);
}

TEST_F(MainWindowTest, ABurstLargerThanAChunkIsReadWhole) {
    Connect();
    QByteArray burst(250, 'x');
    burst += "\r\nEND";
    ASSERT_TRUE(FromHost(burst, "END"));
    // Wrap is off: the line stops at the last column.
    EXPECT_EQ(ScreenRow(4), std::string(80, 'x'));
    EXPECT_EQ(ScreenRow(5).substr(0, 3), "END");
    // A data-ready event with nothing waiting reads nothing and changes nothing.
    const std::string before = ScreenText();
    Send(WM_SOCKET, 0, FD_READ);
    EXPECT_EQ(ScreenText(), before);
}

TEST_F(MainWindowTest, UrgentDataStaysInTheStream) {
    Connect();
    // A server's IAC DM after an interrupt goes out as urgent data; taken out
    // of the stream, the IAC would swallow the byte after it.
    host.Send("x");
    host.SendUrgent("\xff\xf2");
    host.Send("yz");
    ASSERT_TRUE(FromHost("!", "xyz!"));
}

TEST_F(MainWindowTest, SplashClosesAtTheFourthTimerTick) {
    QPointer<QWidget> splash;
    hooks.window.createSplash = [&splash](QWidget* owner) {
        splash = new QWidget(owner, Qt::Tool);
        splash->show();
        return splash.data();
    };
    app = std::make_unique<Application>(store, hooks);
    Connect();
    ASSERT_NE(splash, nullptr);
    for (int tick = 1; tick <= 3; ++tick) Send(WM_TIMER, kTimerId);
    EXPECT_TRUE(splash->isVisible());
    Send(WM_TIMER, kTimerId);
    EXPECT_TRUE(splash.isNull() || !splash->isVisible());
    Send(WM_TIMER, kTimerId);  // later ticks change nothing
}

TEST_F(MainWindowTest, ScrollBarCodesMoveTheViewTopWithinItsRange) {
    Connect();
    ASSERT_TRUE(FromHost(Lines(1, 40), "line 40"));
    TerminalView& view = Window().View();
    QScrollBar& bar = Window().ScrollBar();
    EXPECT_EQ(bar.minimum(), 1);
    EXPECT_EQ(bar.maximum(), 275);
    EXPECT_EQ(view.ViewTop(), 275);

    Send(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(view.ViewTop(), 274);
    EXPECT_EQ(bar.value(), 274);
    Send(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(view.ViewTop(), 251);
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(view.ViewTop(), 252);
    Send(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 260));
    Send(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(view.ViewTop(), 275);
    Send(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 1));
    Send(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(view.ViewTop(), 1);
    Send(WM_VSCROLL, MakeWParam(SB_THUMBTRACK, 200));  // tracking changes nothing
    EXPECT_EQ(view.ViewTop(), 1);
}

TEST_F(MainWindowTest, ScrolledBackViewShowsHistoryAndAKeyReturnsToLive) {
    Connect();
    ASSERT_TRUE(FromHost(Lines(1, 40), "line 40"));
    // 4 start-up lines and 40 more: the first 21 have scrolled into history.
    Send(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(WindowRow(2).substr(0, 9), "Quillterm");
    EXPECT_EQ(WindowRow(6).substr(0, 7), "line 1 ");
    EXPECT_EQ(WindowRow(23).substr(0, 7), "line 18");
    Send(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 100));
    EXPECT_EQ(Window().View().ViewTop(), 100);
    Send(WM_CHAR, 'a');
    EXPECT_EQ(Window().View().ViewTop(), 275);
    Send(WM_VSCROLL, SB_LINEUP);
    Send(WM_KEYDOWN, 0x10);  // Shift: a key-down without a character
    EXPECT_EQ(Window().View().ViewTop(), 275);
}

TEST_F(MainWindowTest, ShowCodesAndWrapFlipTheirOptionsAndCheckMarks) {
    Connect();
    QAction* showCodes = Window().Menus().Find(cmd::kShowCodes);
    QAction* wrap = Window().Menus().Find(cmd::kWrap);
    ASSERT_NE(showCodes, nullptr);
    ASSERT_NE(wrap, nullptr);
    EXPECT_FALSE(showCodes->isChecked());
    Send(WM_COMMAND, cmd::kShowCodes);
    EXPECT_TRUE(showCodes->isChecked());
    ASSERT_TRUE(FromHost("A", "[65][65]"));
    Send(WM_COMMAND, cmd::kShowCodes);
    EXPECT_FALSE(showCodes->isChecked());

    Send(WM_COMMAND, cmd::kWrap);
    EXPECT_TRUE(app->Screen()->wrap);
    EXPECT_TRUE(wrap->isChecked());
    // Changed elsewhere (the Setup dialog), the mark follows when the window is active again.
    app->Screen()->wrap = false;
    Send(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_FALSE(wrap->isChecked());
}

TEST_F(MainWindowTest, TogglePrintCaptureOnlySaysSorry) {
    Connect();
    host.ClearReceived();
    Send(WM_COMMAND, cmd::kTogglePrintCapture);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "This option has been disabled in this version\nbecause of too many bugs");
    EXPECT_EQ(boxes[0].title, "Sorry");
    EXPECT_TRUE(boxes[0].owned);
    EXPECT_FALSE(Window().Destroyed());
}

TEST_F(MainWindowTest, NewConnectionHistoryEntriesAndTheHostListStartNewPrograms) {
    store.WriteSetting("hosts", "host3", "third.example");
    Connect();
    Send(WM_COMMAND, cmd::kNewConnection);
    Send(WM_COMMAND, 9103);
    Send(WM_COMMAND, 9110);
    listedHostChoice = std::nullopt;
    Send(WM_NCRBUTTONDOWN);
    listedHostChoice = "listed.example";
    Send(WM_NCRBUTTONDOWN);
    ASSERT_EQ(launches.size(), 4u);
    EXPECT_EQ(launches[0], std::nullopt);
    EXPECT_EQ(launches[1], std::optional<std::string>("third.example"));
    EXPECT_EQ(launches[2], std::optional<std::string>(""));
    EXPECT_EQ(launches[3], std::optional<std::string>("listed.example"));
    EXPECT_FALSE(Window().Destroyed());
}

TEST_F(MainWindowTest, PopupHasTheTenHostSlotsAndItsChoiceArrivesAsACommand) {
    store.WriteSetting("hosts", "host1", "first.example");
    store.WriteSetting("hosts", "host2", "second.example");
    Connect();
    QStringList popupTexts;
    QStringList submenuTexts;
    popupAction = [&](QMenu& menu) {
        for (QAction* a : menu.actions()) popupTexts << (a->isSeparator() ? "-" : a->text());
        QMenu* hosts = menu.actions().at(0)->menu();
        ASSERT_NE(hosts, nullptr);
        for (QAction* a : hosts->actions()) submenuTexts << a->text();
        hosts->actions().at(1)->trigger();
        EXPECT_TRUE(launches.empty());  // not before the menu has closed
    };
    Send(WM_RBUTTONDOWN, 0, MakeLParam(10, 10));
    EXPECT_EQ(popupTexts,
              QStringList({"Connect to", "-", "Copy", "Paste", "-", "Properties", "-", "Exit"}));
    ASSERT_EQ(submenuTexts.size(), 10);
    EXPECT_EQ(submenuTexts[0], "first.example");
    EXPECT_EQ(submenuTexts[1], "second.example");
    EXPECT_EQ(submenuTexts[9], "");
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0], std::optional<std::string>("second.example"));
}

TEST_F(MainWindowTest, MenuBarHasTheProgramsItems) {
    Connect();
    QStringList titles;
    for (QAction* a : Window().menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, QStringList({"&Connection", "&Edit", "&Setup", "&Help"}));
    EXPECT_EQ(Window().Menus().Find(cmd::kExit)->text(), "E&xit\tAlt-X");
    EXPECT_EQ(Window().Menus().Find(cmd::kSetupDialog)->text(), "&Setup Dialog\tAlt-S");
}

TEST_F(MainWindowTest, WindowShowsExactlyEightyByTwentyFourCellsAndNeverMore) {
    SetSetting("MaximizeOnStart", "1");
    Connect();
    const QSize cells(80 * app->Fonts().CellWidth, 24 * app->Fonts().CellHeight);
    TerminalView& view = Window().View();
    ASSERT_TRUE(PumpUntil([&] { return view.isVisible(); }));
    PumpFor(20);
    EXPECT_EQ(view.size(), cells);
    Window().resize(5000, 5000);
    PumpFor(20);
    EXPECT_EQ(view.size(), cells);
}

TEST_F(MainWindowTest, CloseBoxDestroysTheWindowAndQuits) {
    Connect();
    Window().close();
    EXPECT_TRUE(Window().Destroyed());
    EXPECT_TRUE(app->QuitPosted());
    EXPECT_TRUE(PumpUntil([this] { return host.ClientGone(); }));
}

}  // namespace
}  // namespace quill::test
