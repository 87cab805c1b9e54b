// What the user types, pastes and copies: Qt key events through the window's
// handlers to the bytes the host receives, and the clipboard text. The key
// tables themselves are the engine's, tested there; here only the wiring.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <memory>

#include "core/version.h"
#include "session_fixture.h"
#include "ui/resources/command_ids.h"
#include "ui/terminal/key_events.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

class KeysTest : public SessionTest {
  protected:
    // Presses a key on the terminal view and returns what the host received.
    QByteArray Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = {}) {
        return SentBy([&] {
            QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
            QCoreApplication::sendEvent(&Window().View(), &press);
        });
    }
};

TEST_F(KeysTest, CursorKeysFollowTheHostsCursorKeyMode) {
    Connect();
    EXPECT_EQ(Type(Qt::Key_Up), "\x1b[A");
    ASSERT_TRUE(FromHost("\x1b[?1hmode", "mode"));
    EXPECT_EQ(Type(Qt::Key_Up), "\x1bOA");
    EXPECT_EQ(Type(Qt::Key_F12), "\x1b[23~");
}

TEST_F(KeysTest, EnterFollowsTheCrLfOptionInUse) {
    Connect();
    EXPECT_EQ(Type(Qt::Key_Enter, Qt::KeypadModifier, "\r"), "\r");
    app->Settings().options.SetCRLFTranslation(true);
    EXPECT_EQ(Type(Qt::Key_Return, Qt::NoModifier, "\r"), "\r\n\r");
}

TEST_F(KeysTest, ControlKeysAndCharactersOfTheLayout) {
    Connect();
    EXPECT_EQ(Type(Qt::Key_C, Qt::ControlModifier, "\x03"), "\x03");
    EXPECT_EQ(Type(Qt::Key_Backspace, Qt::NoModifier, "\b"), "\b");
    EXPECT_EQ(Type(Qt::Key_Tab, Qt::NoModifier, "\t"), "\t");
    EXPECT_EQ(Type(Qt::Key_Escape, Qt::NoModifier, "\x1b"), "\x1b");
    EXPECT_EQ(Type(Qt::Key_A, Qt::ShiftModifier, "A"), "A");
    EXPECT_EQ(Type(Qt::Key_Delete, Qt::NoModifier, "\x7f"), "");
    EXPECT_EQ(Type(Qt::Key_Home), "");
    EXPECT_EQ(Type(Qt::Key_PageDown), "");
    EXPECT_EQ(Type(Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9))), "");
}

TEST_F(KeysTest, AltKeysAreAcceleratorsNotText) {
    Connect();
    EXPECT_EQ(Type(Qt::Key_Q, Qt::AltModifier, "q"), "");
    EXPECT_FALSE(Window().Destroyed());
}

// Text still being composed is drawn at the cursor (the input method is told
// where) and never sent, until it is committed. Dead keys: under Xvfb.
TEST_F(KeysTest, InputMethodPreeditIsShownAtTheCursorAndNeverSent) {
    Connect();
    const auto input = [this](const QString& commit, const QString& preedit = {}) {
        return SentBy([&] {
            QInputMethodEvent event(preedit, {});
            event.setCommitString(commit);
            QCoreApplication::sendEvent(&Window().View(), &event);
        });
    };
    ASSERT_TRUE(FromHost("\x1b[10;20Hhere", "here"));
    const int w = app->Fonts().CellWidth;
    const QRect cell(23 * w, 9 * app->Fonts().CellHeight, w, app->Fonts().CellHeight);
    EXPECT_EQ(Window().View().inputMethodQuery(Qt::ImCursorRectangle).toRect(), cell);
    // Dark pixels right of the caret's cell: the caret is a bar or a block
    // there, whichever look the window has painted by now.
    const auto inked = [&] {
        const QImage image = Window().View().grab().toImage();
        int count = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left() + w; x < cell.left() + 4 * w; ++x) {
                count += image.pixelColor(x, y).lightness() < 128 ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_EQ(inked(), 0);
    app->Settings().options.SetExtended(true);
    EXPECT_EQ(input({}, "ni"), "");
    EXPECT_GT(inked(), 0);
    EXPECT_EQ(input(QString::fromUtf8("\xe4\xbd\xa0")), "\xe4\xbd\xa0");
    EXPECT_EQ(inked(), 0);
}

TEST_F(KeysTest, LocalEchoShowsPrintableCharactersOnly) {
    SetSetting("LocalEcho", "1");
    Connect();
    EXPECT_EQ(Type(Qt::Key_A, Qt::NoModifier, "a"), "a");
    EXPECT_EQ(Type(Qt::Key_Tab, Qt::NoModifier, "\t"), "\t");
    EXPECT_EQ(ScreenRow(4).substr(0, 2), "a ");
    EXPECT_EQ(app->Screen()->CursorColumn(), 1);
}

TEST_F(KeysTest, PasteSendsEveryByteButThoseAbove128) {
    SetSetting("LocalEcho", "1");
    Connect();
    QGuiApplication::clipboard()->setText(
        QString::fromLatin1("ab\r\n\xE9"
                            "c"));
    EXPECT_EQ(SentBy([this] { Window().OnCommand(CommandId::kPaste); }), "ab\r\nc");
    // CR and LF are not echoed: c follows b on the same line.
    EXPECT_EQ(ScreenRow(4).substr(0, 4), "abc ");
}

// A large paste goes out in slices between events, and only as fast as the
// host takes it: while the host reads nothing, the paste waits with no more
// queued than the room the queue has, and the window goes on reading. The
// host's ESC Z, sent while the paste waits, is answered, and the pasted bytes
// all arrive, in order, around the reply.
TEST_F(KeysTest, ALargePasteWaitsForRoomAndLeavesTheWindowAnsweringTheHost) {
    Connect();
    // Far more than the kernel's socket buffers hold while the host is not reading.
    QByteArray pasted;
    for (int i = 0; pasted.size() < 8 * 1024 * 1024; ++i) {
        pasted += "pasted line " + QByteArray::number(i).rightJustified(60, '.') + "\r\n";
    }
    QGuiApplication::clipboard()->setText(QString::fromLatin1(pasted));
    host.PauseReading(true);
    host.ClearReceived();
    Window().OnCommand(CommandId::kPaste);
    const Transport& transport = app->Transport();
    qint64 mostQueued = 0;
    ASSERT_TRUE(PumpUntil(
        [&] {
            mostQueued = std::max(mostQueued, transport.Queued());
            return transport.Queued() >= TcpTransport::kResumeBelow;
        },
        30000))
        << "the paste never filled the queue's room";
    // One more character may go out than there was room for, never a slice.
    EXPECT_LT(mostQueued, TcpTransport::kResumeBelow + 16);
    EXPECT_FALSE(transport.ReadingPaused());

    ASSERT_TRUE(FromHost("\x1bZasked", "asked"));
    ASSERT_TRUE(Window().Pasting());
    EXPECT_LT(transport.Queued(), TcpTransport::kResumeBelow + 16);
    host.PauseReading(false);
    const QByteArray reply = "\x1b[?1;7c";
    ASSERT_TRUE(host.WaitForBytes(pasted.size() + reply.size(), 60000));
    QByteArray received = host.Received();
    const qsizetype at = received.indexOf(reply);
    EXPECT_GT(at, 0) << "the reply came before any pasted byte";
    EXPECT_LT(at, pasted.size()) << "the reply waited for the whole paste";
    EXPECT_EQ(received.remove(at, reply.size()), pasted);
}

TEST_F(KeysTest, KeysTypedDuringAPasteGoAfterItAndASecondPasteWaits) {
    Connect();
    QGuiApplication::clipboard()->setText(QString(100000, QChar('p')));
    const QByteArray sent = SentBy([this] {
        Window().OnCommand(CommandId::kPaste);
        Window().OnKey({Key::kUp, {}, {}});
        Window().OnCommand(CommandId::kPaste);
        Window().OnCharacter('k');
    });
    EXPECT_EQ(sent, QByteArray(100000, 'p') + "\x1b[A" + QByteArray(100000, 'p') + "k");
}

TEST_F(KeysTest, ExitDuringAPasteSendsWhatIsQueuedAndDropsTheRest) {
    Connect();
    const QByteArray pasted(3 * 1024 * 1024, 'e');
    QGuiApplication::clipboard()->setText(QString::fromLatin1(pasted));
    Window().OnCommand(CommandId::kPaste);
    ASSERT_TRUE(host.WaitForBytes(64 * 1024));
    Window().OnCommand(CommandId::kExit);
    ASSERT_TRUE(PumpUntil([this] { return host.ClientGone(); }));
    EXPECT_LT(host.Received().size(), pasted.size());
    EXPECT_TRUE(pasted.startsWith(host.Received()));
}

TEST_F(KeysTest, ExtendedTerminalSendsEditingKeysAndCharactersBeyondAsciiAsUtf8) {
    SetSetting("extended", "1");
    Connect();
    EXPECT_EQ(Type(Qt::Key_Home), "\x1b[H");
    EXPECT_EQ(Type(Qt::Key_Insert), "\x1b[2~");
    EXPECT_EQ(Type(Qt::Key_Delete, Qt::NoModifier, "\x7f"), "\x1b[3~");
    EXPECT_EQ(Type(Qt::Key_End), "\x1b[F");
    EXPECT_EQ(Type(Qt::Key_PageUp), "\x1b[5~");
    EXPECT_EQ(Type(Qt::Key_PageDown), "\x1b[6~");
    EXPECT_EQ(Type(Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9))), "\xc3\xa9");
    EXPECT_EQ(Type(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\xf0\x9f\x98\x80")),
              "\xf0\x9f\x98\x80");
    QGuiApplication::clipboard()->setText(QString::fromUtf8("a\xc3\xa9\xf0\x9f\x98\x80"));
    EXPECT_EQ(SentBy([this] { Window().OnCommand(CommandId::kPaste); }),
              "a\xc3\xa9\xf0\x9f\x98\x80");
}

// Keys with a sequence of their own send no character besides it.
TEST_F(KeysTest, ExtendedTerminalSendsModifiersBackspaceAsDelAndShiftTab) {
    SetSetting("extended", "1");
    Connect();
    EXPECT_EQ(Type(Qt::Key_Left, Qt::ControlModifier), "\x1b[1;5D");
    EXPECT_EQ(Type(Qt::Key_F5, Qt::ShiftModifier), "\x1b[15;2~");
    EXPECT_EQ(Type(Qt::Key_Up, Qt::AltModifier), "\x1b[1;3A");
    EXPECT_EQ(Type(Qt::Key_Backspace, Qt::NoModifier, "\b"), "\x7f");
    EXPECT_EQ(Type(Qt::Key_Backspace, Qt::AltModifier, "\b"), "\x1b\x7f");
    EXPECT_EQ(Type(Qt::Key_Backtab, Qt::ShiftModifier, "\t"), "\x1b[Z");
    EXPECT_EQ(Type(Qt::Key_B, Qt::AltModifier, "b"),
              "\x1b"
              "b");
}

// Shift+Tab reaches the window as Backtab, with the Shift modifier or, on
// some platforms, without it: either way the host receives CSI Z, and Tab
// alone is HT.
TEST_F(KeysTest, BacktabIsShiftTabWhateverModifiersItCarries) {
    SetSetting("extended", "1");
    Connect();
    EXPECT_EQ(Type(Qt::Key_Backtab, Qt::NoModifier), "\x1b[Z");
    EXPECT_EQ(Type(Qt::Key_Backtab, Qt::ShiftModifier), "\x1b[Z");
    EXPECT_EQ(Type(Qt::Key_Tab, Qt::NoModifier, "\t"), "\t");
}

// While the host asks for the mouse, a click goes to it; with Shift it selects here.
TEST_F(KeysTest, ClicksGoToTheHostThatAsksForThem) {
    SetSetting("extended", "1");
    Connect();
    ASSERT_TRUE(FromHost("\x1b[?1000hmouse", "mouse"));
    const ScreenGeometry& grid = app->Screen()->Geometry();
    const QSize cell(Window().View().sizeHint().width() / grid.columns,
                     Window().View().sizeHint().height() / grid.screenRows);
    const QPointF at(cell.width() * 3.5, cell.height() * 2.5);  // column 3, row 2
    const auto click = [&](Qt::KeyboardModifiers modifiers) {
        return SentBy([&] {
            QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton,
                              modifiers);
            QCoreApplication::sendEvent(&Window().View(), &press);
            QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton,
                                modifiers);
            QCoreApplication::sendEvent(&Window().View(), &release);
        });
    };
    EXPECT_EQ(click(Qt::ControlModifier), "\x1b[M0$#\x1b[M3$#");
    EXPECT_EQ(click(Qt::ShiftModifier), "");
}

// A host that asks for all motion hears of moves without a button, and the
// view is told of them only while it asks.
TEST_F(KeysTest, MovesWithoutAButtonGoToAHostThatAsksForAllMotion) {
    SetSetting("extended", "1");
    Connect();
    TerminalView& view = Window().View();
    EXPECT_FALSE(view.hasMouseTracking());
    ASSERT_TRUE(FromHost("\x1b[?1003;1006hmotion", "motion"));
    EXPECT_TRUE(view.hasMouseTracking());
    const QSize cell(view.sizeHint().width() / app->Screen()->Geometry().columns,
                     view.sizeHint().height() / app->Screen()->Geometry().screenRows);
    const QPointF at(cell.width() * 3.5, cell.height() * 2.5);  // column 3, row 2
    EXPECT_EQ(SentBy([&] {
                  QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton,
                                   Qt::NoModifier);
                  QCoreApplication::sendEvent(&view, &move);
              }),
              "\x1b[<35;4;3M");
    ASSERT_TRUE(FromHost("\x1b[?1003lstill", "still"));
    EXPECT_FALSE(view.hasMouseTracking());
}

TEST_F(KeysTest, APasteGoesBetweenBracketsWhenTheHostAsks) {
    SetSetting("extended", "1");
    Connect();
    ASSERT_TRUE(FromHost("\x1b[?2004hpaste", "paste"));
    QGuiApplication::clipboard()->setText(QString::fromLatin1("a\x1b[201~b"));
    EXPECT_EQ(SentBy([this] { Window().OnCommand(CommandId::kPaste); }), "\x1b[200~ab\x1b[201~");
}

TEST_F(KeysTest, ShiftPageKeysPageTheScrollBackOnlyInTheExtendedTerminal) {
    Connect();
    QByteArray lines;
    // Enough for two pages of history: the view pages only through rows in use.
    for (int i = 1; i <= 100; ++i) lines += "line " + QByteArray::number(i) + "\r\n";
    ASSERT_TRUE(FromHost(lines, "line 100"));
    // Rows the view is scrolled back by.
    const auto back = [this] {
        return app->Screen()->FirstScreenRow() - Window().View().ViewTop();
    };
    Window().OnScroll(ScrollAction::kLineUp);
    EXPECT_EQ(Type(Qt::Key_PageUp, Qt::ShiftModifier), "");
    EXPECT_EQ(back(), 0) << "the plain terminal: a key like any other";

    app->Settings().options.SetExtended(true);
    EXPECT_EQ(Type(Qt::Key_PageUp, Qt::ShiftModifier), "");
    EXPECT_EQ(Type(Qt::Key_Shift, Qt::ShiftModifier), "") << "Shift alone keeps the view";
    EXPECT_EQ(Type(Qt::Key_PageUp, Qt::ShiftModifier), "");
    EXPECT_EQ(back(), 46);
    EXPECT_EQ(Type(Qt::Key_PageDown, Qt::ShiftModifier), "");
    EXPECT_EQ(back(), 23);
    EXPECT_EQ(Type(Qt::Key_A, Qt::NoModifier, "a"), "a");
    EXPECT_EQ(back(), 0);
}

TEST_F(KeysTest, SendsThatTheSocketCannotTakeAtOnceAreQueuedNotLost) {
    Connect();
    host.PauseReading(true);
    // Far more than the kernel's socket buffers hold while the host is not reading.
    std::vector<std::uint8_t> bytes(24 * 1024 * 1024);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
    host.ClearReceived();
    app->Transport().SendBytes(bytes.data(), bytes.size());
    const std::uint8_t tail[] = {'e', 'n', 'd'};
    app->Transport().SendBytes(tail, sizeof tail);
    ASSERT_TRUE(host.WaitForBytes(1));  // the connection is busy and the rest is queued
    host.PauseReading(false);
    ASSERT_TRUE(host.WaitForBytes(static_cast<qsizetype>(bytes.size() + 3), 20000));
    const QByteArray& got = host.Received();
    EXPECT_EQ(got.size(), static_cast<qsizetype>(bytes.size() + 3));
    EXPECT_EQ(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<qsizetype>(bytes.size())),
              got.left(static_cast<qsizetype>(bytes.size())));
    EXPECT_TRUE(got.endsWith("end"));
}

TEST_F(KeysTest, CopyPlacesTheMarkedCellsWithLfAfterEachRow) {
    Connect();
    ASSERT_TRUE(FromHost("\x1b[H\x1b[2Jabcdefgh\r\nijklmnop\r\nqrstuvwx\r\nyz", "yz"));
    const int w = app->Fonts().CellWidth;
    const int h = app->Fonts().CellHeight;
    Window().OnLeftButtonDown({0, 0});
    Window().OnMouseMove({5 * w + 1, 2 * h + 1});  // inside row 2, column 5: taken
    Window().OnLeftButtonUp();
    Window().OnCommand(CommandId::kCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "abcdef\nijklmn\nqrstuv\n");
    EXPECT_FALSE(Window().View().CurrentSelection().MarksCells());

    // A quick second click is a press like any other: it starts a new rectangle.
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                       Qt::LeftButton, Qt::NoModifier);
    Window().OnLeftButtonDown({w + 1, h + 1});
    QCoreApplication::sendEvent(&Window().View(), &second);
    EXPECT_FALSE(Window().View().CurrentSelection().MarksCells());
    Window().OnLeftButtonUp();

    // A second copy with nothing marked leaves the clipboard alone.
    QGuiApplication::clipboard()->setText("kept");
    Window().OnCommand(CommandId::kCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
}

TEST_F(KeysTest, CopyOfTheWholeWindowIsKeptWithinTheGrid) {
    Connect();
    const int w = app->Fonts().CellWidth;
    const int h = app->Fonts().CellHeight;
    Window().OnLeftButtonDown({0, 0});
    Window().OnMouseMove({80 * w - 1, 24 * h - 1});  // the last pixel of the grid
    Window().OnCommand(CommandId::kCopy);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_EQ(text.count('\n'), 24);
    EXPECT_FALSE(text.contains('\r'));
    EXPECT_TRUE(
        text.startsWith(QString::fromStdString("Quillterm " + std::string(kProgramVersion))));
}

// A drag that ends on the scroll bar, right of the last column, takes the
// rows to their last column, however far inside the last move reported was.
TEST_F(KeysTest, ADragOntoTheScrollBarReachesTheLastColumn) {
    Connect();
    ASSERT_TRUE(FromHost("\x1b[H\x1b[2J\x1b[1;75Hright\x1b[2;1Hnext", "next"));
    TerminalView& view = Window().View();
    const int h = app->Fonts().CellHeight;
    const auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    };
    mouse(QEvent::MouseButtonPress, QPointF(1, h / 2), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(66 * app->Fonts().CellWidth, h / 2), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(view.width() + 6, h / 2), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPointF(view.width() + 6, h / 2), Qt::NoButton);
    Window().OnCommand(CommandId::kCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              std::string(74, ' ') + "right\n");
}

// In the extended terminal a drag marks a stream, a double click a word, a
// third click the line, Alt+drag a rectangle, and Shift+click extends.
TEST_F(KeysTest, ExtendedTerminalSelectsStreamsWordsLinesAndRectangles) {
    SetSetting("extended", "1");
    Connect();
    ASSERT_TRUE(FromHost("\x1b[H\x1b[2Jgo to https://example.org/x?y=1 now\r\nsecond row\r\nend",
                         "end"));
    TerminalView& view = Window().View();
    const int w = app->Fonts().CellWidth;
    const int h = app->Fonts().CellHeight;
    ulong time = 1000;
    const auto mouse = [&](QEvent::Type type, int row, int column,
                           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at(column * w + w / 2, row * h + h / 2);
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, held, modifiers);
        event.setTimestamp(time += 50);
        QCoreApplication::sendEvent(&view, &event);
    };
    const auto copied = [&] {
        Window().OnCommand(CommandId::kCopy);
        return QGuiApplication::clipboard()->text().toStdString();
    };

    mouse(QEvent::MouseButtonPress, 0, 3);
    mouse(QEvent::MouseMove, 1, 5);
    mouse(QEvent::MouseButtonRelease, 1, 5);
    EXPECT_EQ(copied(), "to https://example.org/x?y=1 now\nsecond");

    mouse(QEvent::MouseButtonPress, 0, 12);
    mouse(QEvent::MouseButtonRelease, 0, 12);
    mouse(QEvent::MouseButtonDblClick, 0, 12);
    mouse(QEvent::MouseButtonRelease, 0, 12);
    EXPECT_EQ(copied(), "https://example.org/x?y=1");
    mouse(QEvent::MouseButtonPress, 0, 12);
    mouse(QEvent::MouseButtonDblClick, 0, 12);
    mouse(QEvent::MouseButtonPress, 0, 12);  // the third click
    mouse(QEvent::MouseButtonRelease, 0, 12);
    EXPECT_EQ(copied(), "go to https://example.org/x?y=1 now\n");

    time += 10000;
    mouse(QEvent::MouseButtonPress, 0, 0, Qt::AltModifier);
    mouse(QEvent::MouseMove, 1, 1, Qt::AltModifier);
    mouse(QEvent::MouseButtonRelease, 1, 1, Qt::AltModifier);
    EXPECT_EQ(copied(), "go\nse\n");

    mouse(QEvent::MouseButtonPress, 1, 2);
    mouse(QEvent::MouseButtonDblClick, 1, 2);
    mouse(QEvent::MouseButtonRelease, 1, 2);
    time += 10000;
    mouse(QEvent::MouseButtonPress, 2, 1, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, 2, 1, Qt::ShiftModifier);
    EXPECT_EQ(copied(), "second row\nend");
}

// The window's clock moves on a millisecond each time it is read, so a read
// slice ends after a few chunks whatever the machine's speed: the key goes out
// long before the burst has all been read.
TEST_F(KeysTest, ATypedKeyReachesTheHostDuringALongBurst) {
    auto now = std::make_shared<std::chrono::steady_clock::time_point>();
    hooks.window.clock = [now] { return *now += std::chrono::milliseconds(1); };
    app = std::make_unique<Application>(store, hooks);
    Connect();
    QByteArray burst;
    for (int i = 0; i < 40000; ++i) burst += "a burst line of text that keeps the window busy\r\n";
    host.Send(burst + "burst over");
    ASSERT_TRUE(
        PumpUntil([this] { return ScreenText().find("a burst line") != std::string::npos; }));
    host.ClearReceived();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, "\x03");
    QCoreApplication::postEvent(&Window().View(), press.clone());
    ASSERT_TRUE(host.WaitForBytes(1));
    EXPECT_EQ(host.Received(), "\x03");
    EXPECT_EQ(ScreenText().find("burst over"), std::string::npos)
        << "the key waited for the whole burst";
}

TEST(KeyTranslation, KeysAndCharactersOfTheStroke) {
    const auto up = TranslateKeyPress(Qt::Key_Up, Qt::NoModifier, {});
    EXPECT_EQ(up.key, Key::kUp);
    EXPECT_EQ(up.character, std::nullopt);
    EXPECT_EQ(TranslateKeyPress(Qt::Key_F5, Qt::NoModifier, {}).key, Key::kF5);
    EXPECT_EQ(TranslateKeyPress(Qt::Key_F12, Qt::NoModifier, {}).key, Key::kF12);
    const auto enter = TranslateKeyPress(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(enter.key, Key::kReturn);
    EXPECT_EQ(enter.character, std::optional<char32_t>(13));
    // Ctrl with a letter is its control code whatever text the platform gives.
    EXPECT_EQ(TranslateKeyPress(Qt::Key_Z, Qt::ControlModifier, "z").character,
              std::optional<char32_t>(26));
    EXPECT_EQ(TranslateKeyPress(Qt::Key_BracketLeft, Qt::ControlModifier, "").character,
              std::optional<char32_t>(27));
    // Backtab is Tab with Shift.
    const auto backtab = TranslateKeyPress(Qt::Key_Backtab, Qt::NoModifier, "");
    EXPECT_EQ(backtab.key, Key::kTab);
    EXPECT_TRUE(backtab.modifiers.shift);
    EXPECT_EQ(backtab.character, std::optional<char32_t>(9));
    // Alt gives the key with its modifiers and the character without Alt.
    const auto alt = TranslateKeyPress(Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier, "");
    EXPECT_EQ(alt.key, Key::kLeft);
    EXPECT_TRUE(alt.modifiers.alt && alt.modifiers.shift && !alt.modifiers.control);
    EXPECT_EQ(alt.character, std::nullopt);
    EXPECT_EQ(TranslateKeyPress(Qt::Key_C, Qt::AltModifier, "c").character,
              std::optional<char32_t>('c'));
    EXPECT_EQ(TranslateKeyPress(Qt::Key_Plus, Qt::KeypadModifier, "+").key, Key::kKeypadAdd);
    EXPECT_EQ(TranslateKeyPress(Qt::Key_Plus, Qt::NoModifier, "+").key, std::nullopt);
}

TEST(KeyTranslation, MetaCharactersAndTheClipboardKeys) {
    EXPECT_EQ(MetaCharacter(Qt::Key_Backspace, Qt::AltModifier, "\b"), char32_t{8});
    EXPECT_EQ(MetaCharacter(Qt::Key_Up, Qt::AltModifier, {}), std::nullopt);
    EXPECT_EQ(MetaCharacter(Qt::Key_Q, Qt::AltModifier | Qt::ControlModifier, "@"), std::nullopt);
    EXPECT_EQ(ClipboardKeyCommand(Qt::Key_Insert, Qt::ShiftModifier), CommandId::kPaste);
    EXPECT_EQ(ClipboardKeyCommand(Qt::Key_Insert, Qt::NoModifier), std::nullopt);
    EXPECT_EQ(ClipboardKeyCommand(Qt::Key_V, Qt::ControlModifier), std::nullopt);
}

}  // namespace
}  // namespace quill::test
