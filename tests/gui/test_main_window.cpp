// The main window's handlers and the session's reading: socket events,
// scrolling, commands, menus, the popup and the window's size.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <chrono>

#include "session_fixture.h"
#include "ui/resources/command_ids.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

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
    app->Connection()->ReadSlice();
    EXPECT_EQ(ScreenText(), before);
}

// A clock the test moves: each reading is `step` after the one before.
class SteppingClock {
  public:
    std::chrono::steady_clock::time_point Read() { return now_ += step; }
    std::chrono::milliseconds step{0};

  private:
    std::chrono::steady_clock::time_point now_;
};

// Socket reading measured by the test's clock instead of the machine's speed.
class ReadSliceTest : public SessionTest {
  protected:
    ReadSliceTest() {
        hooks.window.clock = [this] { return clock.Read(); };
        app = std::make_unique<Application>(store, hooks);
    }
    SteppingClock clock;
};

TEST_F(ReadSliceTest, OneReadEventTakesInAFrameOfDataAtMost) {
    Connect();
    clock.step = std::chrono::seconds(1);  // every slice is over before it starts
    host.Send(QByteArray(1000, 'x'));
    ASSERT_TRUE(PumpUntil([this] { return app->Transport().Pending() == 1000; }));
    clock.step = std::chrono::milliseconds(10);  // one 100-byte chunk fits in a frame
    app->Connection()->ReadSlice();
    EXPECT_EQ(app->Transport().Pending(), 900);
    EXPECT_EQ(ScreenRow(4), std::string(80, 'x'));
}

// A burst well under the read-ahead, so that Qt reads it whole and no later
// data-ready event can make up for a slice's leftovers.
TEST_F(ReadSliceTest, WhatASliceLeavesIsOfferedAgainBeforeTheClose) {
    Connect();
    clock.step = std::chrono::milliseconds(10);
    host.Send(Lines(1, 60) + "THE END");
    host.Close();
    ASSERT_TRUE(PumpUntil([this] { return !boxes.empty(); }));
    EXPECT_EQ(boxes[0].text, "Connection closed");
    EXPECT_NE(boxes[0].screenAtThatTime.find("line 60"), std::string::npos);
    EXPECT_NE(boxes[0].screenAtThatTime.find("THE END"), std::string::npos);
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
    for (int tick = 1; tick <= 3; ++tick) Window().OnTimer();
    EXPECT_TRUE(splash->isVisible());
    Window().OnTimer();
    EXPECT_TRUE(splash.isNull() || !splash->isVisible());
    Window().OnTimer();  // later ticks change nothing
}

TEST_F(MainWindowTest, ScrollBarCodesMoveTheViewTopWithinItsRange) {
    Connect();
    ASSERT_TRUE(FromHost(Lines(1, 40), "line 40"));
    TerminalView& view = Window().View();
    QScrollBar& bar = Window().ScrollBar();
    EXPECT_EQ(bar.minimum(), 1);
    EXPECT_EQ(bar.maximum(), 275);
    EXPECT_EQ(view.ViewTop(), 275);

    Window().OnScroll(ScrollAction::kLineUp);
    EXPECT_EQ(view.ViewTop(), 274);
    EXPECT_EQ(bar.value(), 274);
    Window().OnScroll(ScrollAction::kPageUp);
    EXPECT_EQ(view.ViewTop(), 251);
    Window().OnScroll(ScrollAction::kLineDown);
    EXPECT_EQ(view.ViewTop(), 252);
    Window().OnScroll(ScrollAction::kThumbPosition, 260);
    Window().OnScroll(ScrollAction::kPageDown);
    EXPECT_EQ(view.ViewTop(), 275);
    Window().OnScroll(ScrollAction::kThumbPosition, 1);
    Window().OnScroll(ScrollAction::kLineUp);
    EXPECT_EQ(view.ViewTop(), 1);
    Window().OnScroll(ScrollAction::kThumbTrack, 200);  // tracking changes nothing
    EXPECT_EQ(view.ViewTop(), 1);
}

TEST_F(MainWindowTest, ScrolledBackViewShowsHistoryAndAKeyReturnsToLive) {
    Connect();
    ASSERT_TRUE(FromHost(Lines(1, 40), "line 40"));
    // 4 start-up lines and 40 more: the first 21 have scrolled into history.
    Window().OnScroll(ScrollAction::kPageUp);
    EXPECT_EQ(WindowRow(2).substr(0, 9), "Quillterm");
    EXPECT_EQ(WindowRow(6).substr(0, 7), "line 1 ");
    EXPECT_EQ(WindowRow(23).substr(0, 7), "line 18");
    Window().OnScroll(ScrollAction::kThumbPosition, 100);
    EXPECT_EQ(Window().View().ViewTop(), 100);
    Window().OnCharacter('a');
    EXPECT_EQ(Window().View().ViewTop(), 275);
    Window().OnScroll(ScrollAction::kLineUp);
    Window().OnKey({Key::kShift, {}, {}});  // a key without a character
    EXPECT_EQ(Window().View().ViewTop(), 275);
}

TEST_F(MainWindowTest, ShowCodesAndWrapFlipTheirOptionsAndCheckMarks) {
    Connect();
    QAction* showCodes = Window().Menus().Find(CommandId::kShowCodes);
    QAction* wrap = Window().Menus().Find(CommandId::kWrap);
    ASSERT_NE(showCodes, nullptr);
    ASSERT_NE(wrap, nullptr);
    // Both look alike from the start: a box, checked or not.
    EXPECT_TRUE(showCodes->isCheckable());
    EXPECT_TRUE(wrap->isCheckable());
    EXPECT_FALSE(showCodes->isChecked());
    Window().OnCommand(CommandId::kShowCodes);
    EXPECT_TRUE(showCodes->isChecked());
    ASSERT_TRUE(FromHost("A", "[65][65]"));
    Window().OnCommand(CommandId::kShowCodes);
    EXPECT_FALSE(showCodes->isChecked());

    Window().OnCommand(CommandId::kWrap);
    EXPECT_TRUE(app->Settings().options.Wrap());
    EXPECT_TRUE(wrap->isChecked());
    // Changed elsewhere (the Setup dialog), the mark follows when the window is active again.
    app->Settings().options.SetWrap(false);
    Window().OnActivate(true);
    EXPECT_FALSE(wrap->isChecked());
}

TEST_F(MainWindowTest, ExtendedTerminalFlipsItsMarkAndIsSavedAtOnce) {
    SetSetting("extended", "1");
    Connect();
    QAction* extended = Window().Menus().Find(CommandId::kExtendedTerminal);
    ASSERT_NE(extended, nullptr);
    EXPECT_TRUE(extended->isChecked()) << "the mark shows the setting read at start-up";
    const auto stored = [this] {
        std::string text;
        store.ReadSetting("Settings", "extended", "none", text, 80);
        return text;
    };
    EXPECT_EQ(SentBy([this] { Window().OnCommand(CommandId::kExtendedTerminal); }), "");
    EXPECT_FALSE(app->Settings().options.Extended());
    EXPECT_FALSE(extended->isChecked());
    EXPECT_EQ(stored(), "0");
    EXPECT_NE(ScreenText().find("[the host still uses the terminal type xterm-256color until it "
                                "reconnects]"),
              std::string::npos);
    Window().OnCommand(CommandId::kExtendedTerminal);
    EXPECT_TRUE(app->Settings().options.Extended());
    EXPECT_TRUE(extended->isChecked());
    EXPECT_EQ(stored(), "1");
    EXPECT_NE(ScreenText().find("[the host still uses the terminal type vt100 until it reconnects]"),
              std::string::npos);
}

TEST_F(MainWindowTest, TogglePrintCaptureOnlySaysSorry) {
    Connect();
    host.ClearReceived();
    Window().OnCommand(CommandId::kTogglePrintCapture);
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
    Window().OnCommand(CommandId::kNewConnection);
    Window().OnCommand(ConnectToCommand(3));
    Window().OnCommand(CommandId::kConnectToLast);
    listedHostChoice = std::nullopt;
    Window().OnNonClientRightButtonDown();
    listedHostChoice = "listed.example";
    Window().OnNonClientRightButtonDown();
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
    Window().OnRightButtonDown({10, 10});
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
    EXPECT_EQ(Window().Menus().Find(CommandId::kExit)->text(), "E&xit\tAlt-X");
    EXPECT_EQ(Window().Menus().Find(CommandId::kSetupDialog)->text(), "&Setup Dialog\tAlt-S");
}

TEST_F(MainWindowTest, WindowShowsExactlyEightyByTwentyFourCellsAndNeverMore) {
    SetSetting("MaximizeOnStart", "1");
    Connect();
    const QSize cells(80 * app->Fonts().CellWidth, 24 * app->Fonts().CellHeight);
    TerminalView& view = Window().View();
    ASSERT_TRUE(PumpUntil([&] { return view.isVisible() && view.size() == cells; }));
    Window().resize(5000, 5000);
    QCoreApplication::sendPostedEvents();  // the layout that follows a resize
    EXPECT_EQ(view.size(), cells);
}

// In the extended terminal the client area sets the grid as the window is
// resized; turning the mode off brings back the plain window and 80 x 24.
TEST_F(MainWindowTest, ExtendedTerminalGridFollowsTheWindowsSize) {
    SetSetting("extended", "1");
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return Window().isVisible(); }));
    const ScreenView& screen = *app->Screen();
    const QSize chrome(Window().ScrollBar().sizeHint().width(),
                       Window().menuBar()->sizeHint().height());
    const QSize cells(app->Fonts().CellWidth, app->Fonts().CellHeight);
    Window().resize(QSize(50 * cells.width(), 12 * cells.height()) + chrome);
    ASSERT_TRUE(PumpUntil([&] { return screen.Geometry().columns == 50; }));
    EXPECT_EQ(screen.Geometry().screenRows, 12);

    Window().OnCommand(CommandId::kExtendedTerminal);
    EXPECT_EQ(screen.Geometry(), ScreenGeometry{});
    EXPECT_EQ(Window().maximumSize(), Window().OnGetMinMaxInfo());
    EXPECT_EQ(Window().ScrollBar().maximum(), kLiveViewTop);
}

// The host's switch to 132 columns and back widens and narrows the window
// to the grid, and the grid keeps that width once the window has followed.
TEST_F(MainWindowTest, ColumnModeFitsTheWindowToTheGrid) {
    SetSetting("extended", "1");
    SetSetting("fontsize", "-8");  // 132 columns within the offscreen screen
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return Window().isVisible(); }));
    const ScreenView& screen = *app->Screen();
    const int chrome = Window().ScrollBar().sizeHint().width();
    const int cell = app->Fonts().CellWidth;
    const int height = Window().height();
    ASSERT_TRUE(FromHost("\e[?40h\e[?3hwide", "wide"));
    ASSERT_TRUE(PumpUntil([&] { return Window().width() == kWideColumns * cell + chrome; }));
    EXPECT_EQ(Window().height(), height);
    EXPECT_EQ(screen.Geometry().columns, kWideColumns);
    ASSERT_TRUE(FromHost("\e[?3lnarrow", "narrow"));
    ASSERT_TRUE(PumpUntil([&] { return Window().width() == kColumns * cell + chrome; }));
    EXPECT_EQ(screen.Geometry().columns, kColumns);
}

// The BBS terminal and the extended one exclude each other, each choice is
// saved at once, and the BBS terminal's window holds exactly 80 x 25 cells.
TEST_F(MainWindowTest, BbsTerminalExcludesTheExtendedOneAndShowsTheWholePcScreen) {
    SetSetting("extended", "1");
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return Window().isVisible(); }));
    QAction* extended = Window().Menus().Find(CommandId::kExtendedTerminal);
    QAction* bbs = Window().Menus().Find(CommandId::kBbsTerminal);
    ASSERT_NE(bbs, nullptr);
    EXPECT_FALSE(bbs->isChecked());
    const auto stored = [this](const char* key) {
        std::string text;
        store.ReadSetting("Settings", key, "none", text, 80);
        return text;
    };
    Window().OnCommand(CommandId::kBbsTerminal);
    EXPECT_TRUE(bbs->isChecked());
    EXPECT_FALSE(extended->isChecked());
    EXPECT_EQ(stored("bbs"), "1");
    EXPECT_EQ(stored("extended"), "0");
    const ScreenView& screen = *app->Screen();
    EXPECT_EQ(screen.Geometry().columns, 80);
    EXPECT_EQ(screen.Geometry().screenRows, 25);
    const QSize chrome(Window().ScrollBar().sizeHint().width(),
                       Window().menuBar()->sizeHint().height());
    EXPECT_EQ(Window().maximumSize(),
              QSize(80 * app->Fonts().CellWidth, 25 * app->Fonts().CellHeight) + chrome);

    Window().OnCommand(CommandId::kExtendedTerminal);
    EXPECT_FALSE(bbs->isChecked());
    EXPECT_TRUE(extended->isChecked());
    EXPECT_EQ(stored("bbs"), "0");
    EXPECT_EQ(stored("extended"), "1");
    Window().OnCommand(CommandId::kExtendedTerminal);
    EXPECT_TRUE(app->Settings().options.Plain());
}

TEST_F(MainWindowTest, TheLargestFontStillOpensTheWindowWithinTheScreen) {
    SetSetting("fontsize", "200");
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return Window().isVisible(); }));
    const QSize area = Window().screen()->availableGeometry().size();
    EXPECT_GT(24 * app->Fonts().CellHeight, area.height()) << "the font is not large enough";
    EXPECT_LE(Window().frameGeometry().width(), area.width());
    EXPECT_LE(Window().frameGeometry().height(), area.height());
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
