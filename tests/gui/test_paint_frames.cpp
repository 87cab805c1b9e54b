// Frames of the terminal view, driven by its clock: a scroll moves the
// pixels with one blit and paints only the rows that changed, rows changed
// far apart are painted on their own, and an idle view keeps no timer.
// Glyphs are found once; the extended terminal's cells show their colours,
// wide characters and lines.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QTest>
#include <chrono>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/engine/headless_terminal.h"
#include "core/engine/terminal_screen_view.h"
#include "core/settings/terminal_settings.h"
#include "core/terminal/screen_model.h"
#include "ui/app/display_relay.h"
#include "ui/terminal/row_painter.h"
#include "ui/terminal/terminal_fonts.h"
#include "ui/terminal/terminal_view.h"
#include "scripted_server.h"

namespace quill::test {
namespace {

using namespace std::chrono_literals;

class PaintFramesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        relay.SetTarget(&view);
        // Tall enough for the spare row below the screen: the window's 25th row.
        view.resize(view.sizeHint().width(), (kScreenRows + 1) * fonts.CellHeight);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.PaintStale();  // the first frame: the whole window
        ASSERT_GT(view.PaintCount(), 0);
    }
    void TearDown() override { relay.SetTarget(nullptr); }

    // A block from the host a whole frame after the last paint, so that it
    // is painted at once.
    void Feed(const std::string& bytes) {
        now += std::chrono::milliseconds(TerminalView::kFrameMs);
        headless.Feed(bytes, static_cast<int>(bytes.size()));
    }
    // The window rows the last paint covered, as a bit per row.
    std::vector<bool> PaintedRows() const {
        std::vector<bool> rows(kScreenRows + 1);
        const int height = fonts.CellHeight;
        for (const QRect& band : view.LastPaintArea()) {
            for (int y = band.top(); y <= band.bottom(); ++y)
                rows[static_cast<std::size_t>(std::min(y / height, kScreenRows))] = true;
        }
        return rows;
    }
    // The pixels the window holds now.
    QImage Shown() { return view.screen()->grabWindow(view.winId()).toImage(); }
    // What the blits moved and what was painted make the picture a full
    // paint gives.
    void ExpectAFullPaintChangesNothing() {
        const QImage framed = Shown();
        view.InvalidateAll();
        view.PaintStale();
        EXPECT_EQ(Shown(), framed);
    }
    // Whether the caret's inverted bar is drawn in a window row, at column 4.
    bool CaretInRow(const QImage& image, int row) const {
        return (image.pixel(4 * fonts.CellWidth, row * fonts.CellHeight + fonts.CellHeight / 2) &
                0xFFFFFF) == 0;
    }
    static std::vector<bool> Rows(std::initializer_list<int> painted) {
        std::vector<bool> rows(kScreenRows + 1);
        for (const int r : painted) rows[static_cast<std::size_t>(r)] = true;
        return rows;
    }

    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    DisplayRelay relay;
    HeadlessTerminal headless{HeadlessSetup{&relay}};
    TerminalFonts fonts = MakeTerminalFonts(kDefaultFont, kDefaultFontSize);
    TerminalView view{headless.terminal(), fonts,
                      TerminalView::Colours{[] {
                                                return Rgb{0, 0, 0};
                                            },
                                            [] {
                                                return Rgb{255, 255, 255};
                                            }},
                      [this] { return now; }};
};

TEST_F(PaintFramesTest, AScrollIsOneBlitAndTheChangedRows) {
    Feed("\x1b[24;1Hbottom");
    const int blits = view.BlitCount();
    const int paints = view.PaintCount();
    Feed("\r\nnew");
    EXPECT_EQ(view.PaintCount(), paints + 1);
    EXPECT_EQ(view.BlitCount(), blits + 1);
    EXPECT_EQ(PaintedRows(), Rows({23}));
    ExpectAFullPaintChangesNothing();

    // The caret's inverted pixels moved with the blit: its old row is
    // painted again too.
    view.CaretOn();
    Feed("");
    Feed("\r\nnext");
    EXPECT_EQ(view.BlitCount(), blits + 2);
    EXPECT_EQ(PaintedRows(), Rows({22, 23}));
    ExpectAFullPaintChangesNothing();
}

TEST_F(PaintFramesTest, ScrollingBackAndOutputWhileScrolledBackAreBlits) {
    Feed("\x1b[24;1H" + std::string(30, '\n') + "x");
    const int blits = view.BlitCount();
    view.DisplaySetViewTop(kLiveViewTop - 5);
    view.PaintStale();
    EXPECT_EQ(view.BlitCount(), blits + 1);
    EXPECT_EQ(PaintedRows(), Rows({0, 1, 2, 3, 4}));
    Feed("\ny");
    EXPECT_EQ(view.BlitCount(), blits + 2);
    ExpectAFullPaintChangesNothing();
}

// In the extended terminal the caret goes down with its row when the view
// is scrolled back, and is not drawn over the history above it.
TEST_F(PaintFramesTest, ExtendedCaretMovesWithItsRowWhenScrolledBack) {
    headless.Options().SetExtended(true);
    view.CaretOn();
    Feed(std::string(40, '\n') + "\x1b[11;5H");
    ASSERT_TRUE(CaretInRow(Shown(), 10));
    view.DisplaySetViewTop(headless.Screen().FirstScreenRow() - 5);
    view.PaintStale();
    const QImage shown = Shown();
    EXPECT_FALSE(CaretInRow(shown, 10));
    EXPECT_TRUE(CaretInRow(shown, 15));
    ExpectAFullPaintChangesNothing();

    // On the last row, scrolled back by one: below the screen, where the
    // window shows its spare row, there is no caret.
    view.DisplayReturnToLive();
    Feed("\x1b[24;5H");
    ASSERT_TRUE(CaretInRow(Shown(), 23));
    view.DisplaySetViewTop(headless.Screen().FirstScreenRow() - 1);
    view.PaintStale();
    EXPECT_FALSE(CaretInRow(Shown(), 24));
}

// Moving down the history, by a row or by a page, moves the rows up with one
// blit, and every row that comes in at the bottom, the spare row's place
// among them, is painted at once.
TEST_F(PaintFramesTest, MovingDownTheHistoryPaintsEveryRowThatComesIn) {
    std::string lines = "\x1b[24;1H";
    for (int i = 1; i <= 60; ++i) lines += "\r\nline " + std::to_string(i);
    Feed(lines);
    view.DisplaySetViewTop(kLiveViewTop - 30);
    view.PaintStale();
    for (const int down : {1, 6}) {
        const int blits = view.BlitCount();
        view.DisplaySetViewTop(view.ViewTop() + down);
        view.PaintStale();
        EXPECT_EQ(view.BlitCount(), blits + 1);
        ExpectAFullPaintChangesNothing();
    }
}

// Scrolled to the top of a full history, the extended terminal's window
// shows the oldest row kept; the plain terminal's stops at buffer row 1.
TEST_F(PaintFramesTest, AFullExtendedHistoryShowsItsOldestRowAtTheTop) {
    headless.Options().SetScrollback(30);
    headless.Options().SetExtended(true);
    std::string lines = "\x1b[24;1H";
    for (int i = 1; i <= 300; ++i) lines += "\r\nline " + std::to_string(i);
    Feed(lines);
    const ScreenView& screen = headless.terminal().View();
    ASSERT_EQ(screen.HistoryDepth(), screen.FirstScreenRow());
    view.DisplaySetViewTop(0);
    EXPECT_EQ(view.ViewTop(), 0);

    headless.Options().SetExtended(false);
    Feed(lines);
    view.DisplaySetViewTop(0);
    EXPECT_EQ(view.ViewTop(), 1);
}

// A block that only hides or shows the cursor changes no cell, and still
// reaches the caret.
TEST_F(PaintFramesTest, TheHostHidesAndShowsTheCaretWhereItStands) {
    headless.Options().SetExtended(true);
    view.CaretOn();
    Feed("\x1b[11;5H");
    ASSERT_TRUE(CaretInRow(Shown(), 10));
    Feed("\x1b[?25l");
    EXPECT_FALSE(CaretInRow(Shown(), 10));
    Feed("\x1b[?25h");
    EXPECT_TRUE(CaretInRow(Shown(), 10));
}

// Blocks within one frame move the caret through cells it is never drawn
// in: the next paint covers where it was drawn and where it stands, not its
// way. A paint in between draws it where it stood, and the next move paints
// that over.
TEST_F(PaintFramesTest, TheCaretsWayBetweenTwoPaintsIsNotPaintedAgain) {
    view.CaretOn();
    Feed("\x1b[2;5H");
    const auto within_frame = [this](const std::string& bytes) {
        headless.Feed(bytes, static_cast<int>(bytes.size()));
    };
    for (const char* move : {"\x1b[5;5H", "\x1b[9;5H", "\x1b[13;5H"}) within_frame(move);
    view.PaintStale();
    EXPECT_EQ(PaintedRows(), Rows({1, 12}));
    ExpectAFullPaintChangesNothing();

    within_frame("\x1b[17;5H");
    view.repaint();
    ASSERT_TRUE(CaretInRow(Shown(), 16));
    within_frame("\x1b[20;5H");
    view.PaintStale();
    EXPECT_TRUE(PaintedRows()[16]);
    EXPECT_TRUE(CaretInRow(Shown(), 19));
    ExpectAFullPaintChangesNothing();
}

TEST_F(PaintFramesTest, RowsChangedFarApartArePaintedAlone) {
    Feed("\x1b[2;1Htop\x1b[20;1Hbottom");
    EXPECT_EQ(PaintedRows(), Rows({1, 19}));
    EXPECT_EQ(view.BlitCount(), 0);
}

// A changed cell goes straight into the window's pixels, which then look as
// the widget's own rendering does, except where another widget lies over
// the view: that one stays on top.
TEST_F(PaintFramesTest, ADirectPaintShowsWhatTheWidgetDrawsAndNothingOverAnotherWidget) {
    const auto asShown = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_RGB32);
    };
    Feed("\x1b[1;1Habcd");
    EXPECT_EQ(asShown(Shown()), asShown(view.grab().toImage()));

    QWidget cover(&view);
    cover.setAutoFillBackground(true);
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    cover.setPalette(red);
    cover.setGeometry(0, 0, 4 * fonts.CellWidth, fonts.CellHeight);
    cover.show();
    const auto coverShown = [&] {
        return (Shown().pixel(1, 1) & 0xFFFFFF) == (QColor(Qt::red).rgb() & 0xFFFFFF);
    };
    QElapsedTimer waited;
    waited.start();
    while (!coverShown() && waited.elapsed() < 5000) QCoreApplication::processEvents();
    ASSERT_TRUE(coverShown());
    Feed("\x1b[1;1HWXYZ");
    EXPECT_TRUE(coverShown());
}

// Small changes are copied from each cell's pixels, made once, without a
// painter: what reaches the window is what the widget's own paint draws, in
// every look and with the caret over the cells (italics are left out: a
// glyph that leans into the row below shows there only when both rows are
// painted, whichever way). A colour the host changes is
// not served from the old pixels, and an underscore, which reaches below
// its cell, is left to the painter with its neighbours.
TEST_F(PaintFramesTest, CellsCopiedWithoutAPainterShowWhatTheWidgetDraws) {
    const auto asShown = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_RGB32);
    };
    view.CaretOn();
    std::string ascii;
    for (char c = '!'; c <= '~'; ++c) ascii += c;
    const struct {
        bool extended;
        const char* look;
    } cases[] = {
        {false, ""},
        {false, "\x1b[1m"},
        {false, "\x1b[7m"},
        {true, "\x1b[1m"},
        {true, "\x1b[4;9;2m"},
        {true, "\x1b[31;44m"},
        {true, "\x1b[31;42m"},
        {true, "\x1b]4;1;rgb:12/34/56\x1b\\\x1b[31;44m"},
        {true, "\x1b[?5h\x1b[38;2;200;100;50;7m"},
    };
    for (const auto& c : cases) {
        headless.Options().SetExtended(c.extended);
        Feed("\x1b[0m\x1b[?5l\x1b[H\x1b[2J\x1b[5;1H");
        const int copied = view.CopiedPaints();
        for (std::size_t i = 0; i < ascii.size(); i += 3) Feed(c.look + ascii.substr(i, 3));
        EXPECT_GT(view.CopiedPaints(), copied) << c.look;
        EXPECT_EQ(asShown(Shown()), asShown(view.grab().toImage())) << c.look;
    }
    Feed("\x1b[0m\x1b[H\x1b[2J");
    const int copied = view.CopiedPaints();
    Feed("_");
    EXPECT_EQ(view.CopiedPaints(), copied);
    EXPECT_EQ(asShown(Shown()), asShown(view.grab().toImage()));
}

// Output in a new colour at every character makes no pile of cells in one
// paint: past a few, the painter paints the area.
TEST_F(PaintFramesTest, OutputInManyNewColoursIsLeftToThePainter) {
    headless.Options().SetExtended(true);
    std::string rainbow;
    for (int i = 0; i < 40; ++i) rainbow += "\x1b[38;2;" + std::to_string(5 * i) + ";9;9mx";
    Feed("\x1b[H\x1b[2J");
    const int copied = view.CopiedPaints();
    Feed("\x1b[3;1H" + rainbow);
    EXPECT_EQ(view.CopiedPaints(), copied);
    EXPECT_EQ(Shown().convertToFormat(QImage::Format_RGB32),
              view.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

// Inside a window, below and beside other widgets, copied cells land at the
// view's place, and a grid wider than the view (a window cut to the screen)
// leaves the widget beside it alone.
TEST_F(PaintFramesTest, CopiedCellsLandInTheViewAndStayInIt) {
    QWidget window;
    QWidget beside(&window);
    beside.setAutoFillBackground(true);
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    beside.setPalette(red);
    const QSize grid = view.size();
    const QRect place(QPoint(6, 9), grid - QSize(5 * fonts.CellWidth, 0));
    view.setParent(&window);
    view.setGeometry(place);
    beside.setGeometry(place.right() + 1, place.top(), 5 * fonts.CellWidth, place.height());
    window.resize(place.right() + 1 + beside.width(), place.bottom() + 1);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    view.CaretOn();
    view.InvalidateAll();
    view.PaintStale();
    const int copied = view.CopiedPaints();
    Feed("\x1b[2;74Habcdefg");
    EXPECT_GT(view.CopiedPaints(), copied);
    const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
    EXPECT_EQ(shown.copy(place).convertToFormat(QImage::Format_RGB32),
              view.grab().toImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(shown.pixel(place.right() + 2, place.top() + fonts.CellHeight + 2) & 0xFFFFFF,
              QColor(Qt::red).rgb() & 0xFFFFFF);
    view.setParent(nullptr);
}

// A change on a row of double size, painted straight into the window, leaves
// the highlight of the row's other marked cells as a full paint shows it.
TEST_F(PaintFramesTest, ADirectPaintOfADoubleRowKeepsTheHighlightBesideTheChange) {
    headless.Options().SetExtended(true);
    Feed("\x1b[1;1H\x1b#6abcdefghijklmnopqrstuvwxyz");
    const int w = 2 * fonts.CellWidth;
    view.SelectionPress(10 * w + 1, 1);
    view.SelectionDrag(15 * w + 1, 1);
    view.SelectionRelease();
    view.PaintStale();
    const auto asShown = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_RGB32);
    };
    ASSERT_EQ(asShown(Shown()), asShown(view.grab().toImage()));
    Feed("\x1b[1;2HX");
    ASSERT_TRUE(view.CurrentSelection().MarksCells());
    EXPECT_EQ(asShown(Shown()), asShown(view.grab().toImage()));
}

// Output that arrived before the press, still waiting for its frame, does
// not take away a selection made over it; output after the press does.
TEST_F(PaintFramesTest, ASelectionOverOutputNotYetPaintedStaysUntilTheCellsChange) {
    Feed("x");
    const int paints = view.PaintCount();
    headless.Feed("\x1b[1;1Hhello world", 16);  // within the frame: not painted yet
    ASSERT_EQ(view.PaintCount(), paints);
    const int w = fonts.CellWidth;
    view.SelectionPress(1, 1);
    view.SelectionDrag(5 * w - 1, 1);
    view.SelectionRelease();
    view.PaintStale();
    ASSERT_TRUE(view.CurrentSelection().MarksCells());
    EXPECT_EQ(view.CurrentSelection().CopyText(headless.terminal().View(), "\n"), "hello\n");
    Feed("\x1b[1;2HX");
    view.PaintStale();
    EXPECT_FALSE(view.CurrentSelection().MarksCells());
}

TEST_F(PaintFramesTest, WithinAFrameTheTickPaintsAndAnIdleViewKeepsNoTimer) {
    Feed("a");
    const int paints = view.PaintCount();
    headless.Feed("b", 1);  // the same instant: within the frame
    EXPECT_EQ(view.PaintCount(), paints);
    EXPECT_TRUE(view.FrameScheduled());
    view.PaintStale();  // the frame tick
    EXPECT_EQ(view.PaintCount(), paints + 1);
    EXPECT_FALSE(view.FrameScheduled());
    Feed("");
    EXPECT_EQ(view.PaintCount(), paints + 1);  // nothing changed: no paint
    EXPECT_FALSE(view.FrameScheduled());
}

// Blinking text on the screen starts the blink, which hides it within a
// second; once none is shown the blink stops with the text shown. The BBS
// terminal's blink (iCE colours off) blinks the same way.
TEST_F(PaintFramesTest, TheBlinkTicksOnlyWhileBlinkingTextIsShown) {
    for (const DialectId dialect : {DialectId::kExtended, DialectId::kBbs}) {
        headless.Options().SetDialect(dialect);
        Feed("\x1b[2J\x1b[5;1Hsteady");
        EXPECT_FALSE(view.BlinkScheduled());
        Feed("\x1b[5;1H\x1b[5mblinking\x1b[0m");
        EXPECT_TRUE(view.BlinkScheduled());
        // Whether the first eight cells of the row differ from its blank end.
        const auto inked = [this] {
            const QImage shown = Shown();
            const QRgb blank = shown.pixel(shown.width() - 1, 4 * fonts.CellHeight);
            for (int x = 0; x < 8 * fonts.CellWidth; ++x) {
                for (int y = 4 * fonts.CellHeight; y < 5 * fonts.CellHeight; ++y)
                    if (shown.pixel(x, y) != blank) return true;
            }
            return false;
        };
        EXPECT_TRUE(inked());
        EXPECT_TRUE(PumpUntil([&] { return !inked(); }, 3000));
        Feed("\x1b[2K");
        EXPECT_FALSE(view.BlinkScheduled());
    }
}

// The extended terminal's caret is a steady block unless the host asks for
// another shape; one that blinks starts the blink, and without the keyboard
// the caret is a hollow block, which does not blink.
TEST_F(PaintFramesTest, TheExtendedCaretTakesTheHostsShapeAndIsHollowWithoutTheKeyboard) {
    headless.Options().SetExtended(true);
    view.CaretOn();
    const int w = fonts.CellWidth;
    const int h = fonts.CellHeight;
    // Whether a point of the caret's cell (row 2, column 4) is inverted.
    const auto dark = [&](const QImage& image, int x, int y) {
        return (image.pixel(4 * w + x, 2 * h + y) & 0xFFFFFF) == 0;
    };
    const struct {
        const char* bytes;
        bool centre;
        bool bottomRight;
        bool blinks;
    } cases[] = {
        {"", true, true, false},         {"\x1b[4 q", false, true, false},
        {"\x1b[6 q", false, false, false}, {"\x1b[5 q", false, false, true},
        {"\x1b[0 q", true, true, false},
    };
    for (const auto& c : cases) {
        Feed(std::string("\x1b[3;5H") + c.bytes);
        const QImage image = Shown();
        EXPECT_TRUE(dark(image, 0, h - 1)) << c.bytes;
        EXPECT_EQ(dark(image, w / 2, h / 2), c.centre) << c.bytes;
        EXPECT_EQ(dark(image, w - 1, h - 1), c.bottomRight) << c.bytes;
        EXPECT_EQ(view.BlinkScheduled(), c.blinks) << c.bytes;
    }
    Feed("\x1b[1 q");
    view.CaretOff();
    view.PaintStale();
    const QImage image = Shown();
    EXPECT_TRUE(dark(image, w - 1, h / 2));
    EXPECT_TRUE(dark(image, w / 2, 0));
    EXPECT_FALSE(dark(image, w / 2, h / 2));
    EXPECT_FALSE(view.BlinkScheduled());
    Feed("\x1b[3;9H");
    EXPECT_TRUE((Shown().pixel(8 * w, 2 * h + h / 2) & 0xFFFFFF) == 0);
}

TEST_F(PaintFramesTest, PaintingAgainAsksTheFontsNothing) {
    Feed("\x1b[1mbold\x1b[0m plain text");
    view.InvalidateAll();
    view.PaintStale();
    const int misses = view.GlyphMisses();
    EXPECT_GT(misses, 0);
    view.InvalidateAll();
    view.PaintStale();
    EXPECT_EQ(view.GlyphMisses(), misses);
}

TEST_F(PaintFramesTest, ExtendedCellsReachTheWindowInTheirColours) {
    headless.Options().SetExtended(true);
    Feed("\x1b[41m \x1b[48;2;1;2;3m \x1b[0;7m \x1b[0m");
    const QImage shown = Shown();
    const auto at = [&](int column) {
        return shown.pixel(column * fonts.CellWidth + 1, fonts.CellHeight / 2) & 0xFFFFFF;
    };
    EXPECT_EQ(at(0), 0xCD0000U);  // palette entry 1
    EXPECT_EQ(at(1), 0x010203U);
    EXPECT_EQ(at(2), 0x000000U);  // reverse: the text colour
    EXPECT_EQ(at(3), 0xFFFFFFU);
}

// A grid of another size: the view asks for room for all of it and paints
// its last cell.
TEST(PaintAnyGeometry, TheViewPaintsTheScreensOwnColumnsAndRows) {
    UserOptions options;
    options.SetExtended(true);
    RecordingSend send;
    RecordingServices services(false);
    DisplayRelay relay;
    Terminal terminal(relay, send, services, options);
    terminal.Resize(100, 30);
    const TerminalFonts fonts = MakeTerminalFonts(kDefaultFont, kDefaultFontSize);
    TerminalView view(terminal, fonts,
                      TerminalView::Colours{[] { return kBlack; }, [] { return kWhite; }},
                      [] { return std::chrono::steady_clock::now(); });
    relay.SetTarget(&view);
    EXPECT_EQ(view.sizeHint(), QSize(100 * fonts.CellWidth, 30 * fonts.CellHeight));
    view.resize(view.sizeHint());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const std::string bytes = "\x1b[30;100H\x1b[41m ";
    terminal.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                  static_cast<int>(bytes.size()));
    view.PaintStale();
    const QImage shown = view.screen()->grabWindow(view.winId()).toImage();
    EXPECT_EQ(shown.pixel(99 * fonts.CellWidth + 1, 29 * fonts.CellHeight + 1) & 0xFFFFFF,
              0xCD0000U);
    relay.SetTarget(nullptr);
}

// One row of the extended terminal painted straight from a screen model.
class RowPainterTest : public ::testing::Test {
  protected:
    void Place(char32_t c, std::uint16_t flags = 0, CellColour background = {}) {
        Cell pen;
        pen.flags = flags;
        pen.background = background;
        screen.ScreenSetPen(pen);
        screen.PlaceInCell(c);
    }
    void PlaceWide(char32_t c) {
        Place(c);
        Place(U' ', cell_flags::kWideRight);
    }
    QImage Paint(bool reverseScreen = false, bool boldBright = true, bool blinkHidden = false) {
        QImage image(fonts.CellWidth * kColumns, fonts.CellHeight, QImage::Format_RGB32);
        QPainter p(&image);
        const CellLook look{palette, Qt::black, Qt::white, reverseScreen, boldBright, blinkHidden};
        painter.PaintExtended(p, view, screen.FirstScreenRow(), 0, 1, image.width(), look);
        return image;
    }
    // The first and last pixel columns holding anything but white, from x on.
    static std::pair<int, int> Ink(const QImage& image, int x, int end) {
        std::pair<int, int> ink{-1, -1};
        for (; x < end; ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if ((image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) continue;
                if (ink.first < 0) ink.first = x;
                ink.second = x;
            }
        }
        return ink;
    }
    int CellX(int column) const { return column * fonts.CellWidth; }

    UserOptions options;
    ScreenModel screen{options};
    TerminalModes modes;
    DialectId dialect = DialectId::kExtended;
    TerminalScreenView view{screen, modes, dialect};
    TerminalFonts fonts = MakeTerminalFonts(kDefaultFont, kDefaultFontSize);
    RowPainter painter{fonts};
    Palette palette;
};

// The emoji is missing from the terminal font: the fallback font's glyph
// fills up to two cells when wide, and stays inside one cell otherwise.
TEST_F(RowPainterTest, AFallbackGlyphKeepsToItsCells) {
    PlaceWide(U'\U0001F600');
    Place(U' ');
    Place(U'\U0001F600');
    const QImage image = Paint();
    const auto [left, right] = Ink(image, 0, CellX(3));
    EXPECT_GE(left, 0);
    EXPECT_GE(right, CellX(1)) << "a wide character reaches into its second cell";
    EXPECT_LT(right, CellX(2));
    const auto narrow = Ink(image, CellX(3), image.width());
    EXPECT_GE(narrow.first, CellX(3));
    EXPECT_LT(narrow.second, CellX(4));
}

// A character with a combining mark looks like its composed form where
// Unicode has one; a mark with none is drawn over its own character's cell.
TEST_F(RowPainterTest, CombiningMarksAreDrawnOverTheirCharacter) {
    for (const char32_t c : {U'e', U'\u0301', U'x', U'\u0301'}) screen.PlaceCharacter(c);
    const QImage marked = Paint();
    screen.ScreenSetColumn(0);
    Place(U'\u00E9');
    Place(U'x');
    const QImage plain = Paint();
    const auto cell = [&](const QImage& image, int column) {
        return image.copy(CellX(column), 0, fonts.CellWidth, fonts.CellHeight);
    };
    EXPECT_EQ(cell(marked, 0), cell(plain, 0));
    EXPECT_NE(cell(marked, 1), cell(plain, 1));
    const auto [left, right] = Ink(marked, CellX(1), marked.width());
    EXPECT_GE(left, CellX(1));
    EXPECT_LT(right, CellX(2));
}

TEST_F(RowPainterTest, ColoursComeFromThePaletteTheFlagsAndTheScreen) {
    palette.Set(1, Rgb{1, 2, 3});
    Place(U' ', 0, CellColour::Palette(1));
    Place(U' ', cell_flags::kReverse);
    Place(U'X', cell_flags::kHidden);
    const auto at = [&](const QImage& image, int column) {
        return image.pixel(CellX(column) + 1, fonts.CellHeight / 2) & 0xFFFFFF;
    };
    QImage image = Paint();
    EXPECT_EQ(at(image, 0), 0x010203U);
    EXPECT_EQ(at(image, 1), 0x000000U);
    EXPECT_EQ(Ink(image, CellX(2), CellX(3)).first, -1) << "a hidden character shows nothing";
    image = Paint(true);
    EXPECT_EQ(at(image, 1), 0xFFFFFFU);
    EXPECT_EQ(at(image, 5), 0x000000U);
}

// Bold takes the bright twin of colours 0-7 unless the setting is off, and
// never of the others; blinking text is drawn in the regular font, and not
// at all in the hidden half of its blink.
TEST_F(RowPainterTest, BoldBrightensTheFirstEightColoursAndBlinkIsNotBold) {
    palette.Set(1, Rgb{0xA0, 0, 0});
    palette.Set(9, Rgb{0, 0xB0, 0});
    palette.Set(17, Rgb{0, 0, 0xC0});
    for (const std::uint8_t colour : {1, 17}) {
        Cell pen;
        pen.flags = cell_flags::kBold;
        pen.foreground = CellColour::Palette(colour);
        screen.ScreenSetPen(pen);
        screen.PlaceInCell(U'M');
    }
    const auto colours = [&](const QImage& image, int column) {
        std::set<QRgb> seen;
        for (int x = CellX(column); x < CellX(column + 1); ++x) {
            for (int y = 0; y < image.height(); ++y) seen.insert(image.pixel(x, y) & 0xFFFFFF);
        }
        return seen;
    };
    QImage image = Paint();
    EXPECT_TRUE(colours(image, 0).contains(0x00B000U));
    EXPECT_FALSE(colours(image, 0).contains(0xA00000U));
    EXPECT_TRUE(colours(image, 1).contains(0x0000C0U));
    image = Paint(false, false);
    EXPECT_TRUE(colours(image, 0).contains(0xA00000U));
    EXPECT_FALSE(colours(image, 0).contains(0x00B000U));

    screen.ScreenSetColumn(0);
    Place(U'M');
    Place(U'M', cell_flags::kBlink);
    image = Paint();
    EXPECT_EQ(image.copy(CellX(0), 0, fonts.CellWidth, fonts.CellHeight),
              image.copy(CellX(1), 0, fonts.CellWidth, fonts.CellHeight));
    image = Paint(false, true, true);
    EXPECT_NE(Ink(image, 0, CellX(1)).first, -1);
    EXPECT_EQ(Ink(image, CellX(1), CellX(2)).first, -1);
}

// A frame's corners and lines meet: the middle pixel row is inked from the
// corner's centre across the next cell, and the corner's stem reaches down
// to the cell's bottom edge.
TEST_F(RowPainterTest, BoxDrawingLinesJoinTheirNeighbours) {
    Place(U'\u250C');
    Place(U'\u2500');
    Place(U'\u2500');
    const QImage image = Paint();
    const int middle = fonts.CellHeight / 2;
    const int centre = fonts.CellWidth / 2;
    for (int x = centre; x < CellX(3); ++x) EXPECT_EQ(image.pixel(x, middle) & 0xFFFFFF, 0U) << x;
    for (int y = middle; y < fonts.CellHeight; ++y)
        EXPECT_EQ(image.pixel(centre, y) & 0xFFFFFF, 0U) << y;
}

// The diamond reaches across its cell on the middle row and is as tall as
// it is wide; the checkerboard is a pattern of every other pixel over the
// whole cell, inked and blank by turns along a row and down a column.
TEST_F(RowPainterTest, TheDiamondSpansItsCellAndTheCheckerboardIsAPixelPattern) {
    Place(U'\u25C6');
    Place(U'\u2592');
    const QImage image = Paint();
    const int middle = fonts.CellHeight / 2;
    const auto [left, right] = Ink(image.copy(0, middle, CellX(1), 1), 0, CellX(1));
    EXPECT_LE(left, 1);
    EXPECT_GE(right, CellX(1) - 2);
    const QImage column = image.copy(fonts.CellWidth / 2, 0, 1, fonts.CellHeight)
                              .transformed(QTransform().rotate(90));
    const auto [top, bottom] = Ink(column, 0, column.width());
    EXPECT_NEAR(bottom - top + 1, std::min(fonts.CellWidth, fonts.CellHeight), 2);

    const auto inked = [&](int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFFU; };
    for (int y = 0; y < fonts.CellHeight; ++y) {
        for (int x = CellX(1); x + 1 < CellX(2); ++x) {
            EXPECT_NE(inked(x, y), inked(x + 1, y)) << x << "," << y;
            if (y + 1 < fonts.CellHeight) {
                EXPECT_NE(inked(x, y), inked(x, y + 1)) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace quill::test
