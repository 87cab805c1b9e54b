// Painting of the terminal view (colours, bold and reverse cells, the caret),
// the pacing of updates during bulk output, and the selection rectangle.
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <chrono>

#include "session_fixture.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

using namespace std::chrono_literals;

// The window's clock stands still unless a test moves it on: no display frame
// ends by itself, and a read takes whatever has arrived.
class ViewTest : public SessionTest {
  protected:
    void SetUp() override {
        SetSetting("fgcolor", "0,0,0");
        SetSetting("bgcolor", "0,0,128");
        hooks.window.clock = [this] { return now; };
        app = std::make_unique<Application>(store, hooks);
        Connect();
        ASSERT_TRUE(PumpUntil([this] { return Window().View().isVisible(); }));
    }
    // The view painted afresh, and what its last paints have left on screen.
    QImage Picture() { return Window().View().grab().toImage(); }
    QImage OnScreen() {
        TerminalView& view = Window().View();
        const QPoint at = view.mapTo(&Window(), QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(Window().winId(), at.x(), at.y(), view.width(), view.height())
            .toImage();
    }
    // The top-left pixel of a cell: background, never part of a glyph.
    QRgb CellCorner(const QImage& image, int row, int column) {
        return image.pixel(column * app->Fonts().CellWidth, row * app->Fonts().CellHeight);
    }
    // Pixels of a cell that differ from its corner: the glyph's ink.
    int Ink(const QImage& image, int row, int column) {
        const int w = app->Fonts().CellWidth;
        const int h = app->Fonts().CellHeight;
        const QRgb corner = CellCorner(image, row, column);
        int ink = 0;
        for (int y = row * h; y < (row + 1) * h; ++y) {
            for (int x = column * w; x < (column + 1) * w; ++x) ink += image.pixel(x, y) != corner;
        }
        return ink;
    }

    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
};

TEST_F(ViewTest, ColoursComeFromTheSettingsAtEveryPaintAndReverseIsTheInverse) {
    ASSERT_TRUE(FromHost("\x1b[H\x1b[2J\x1b[7mR\x1b[0m N\x1b[1mM\x1b[0mM", "R NMM"));
    QImage image = Picture();
    EXPECT_EQ(CellCorner(image, 0, 1), qRgb(0, 0, 128));
    EXPECT_EQ(CellCorner(image, 0, 0), qRgb(255, 255, 127));
    EXPECT_GT(Ink(image, 0, 2), 0);
    // Bold is drawn with the heavier font over the normal glyph.
    EXPECT_GT(Ink(image, 0, 3), Ink(image, 0, 4));

    app->Settings().bgcolor = Rgb{200, 0, 0};
    Window().View().InvalidateAll();
    image = Picture();
    EXPECT_EQ(CellCorner(image, 0, 1), qRgb(200, 0, 0));
    EXPECT_EQ(CellCorner(image, 0, 0), qRgb(55, 255, 255));
}

TEST_F(ViewTest, AReverseRunIsInvertedToItsLastCell) {
    ASSERT_TRUE(
        FromHost("\x1b[H\x1b[2J\x1b[7mRRR\x1b[0mN\x1b[1;79H\x1b[7mEE\x1b[0m\x1b[5;1Hend", "end"));
    const QImage image = Picture();
    for (const int column : {0, 1, 2, 78, 79}) {
        EXPECT_EQ(CellCorner(image, 0, column), qRgb(255, 255, 127)) << "column " << column;
    }
    EXPECT_EQ(CellCorner(image, 0, 3), qRgb(0, 0, 128));
    EXPECT_EQ(CellCorner(image, 0, 77), qRgb(0, 0, 128));
}

TEST_F(ViewTest, CaretIsATwoPixelBarAtTheCursorWhileActive) {
    ASSERT_TRUE(FromHost("\x1b[H\x1b[2J\x1b[3;5H", ""));
    ASSERT_TRUE(PumpUntil([this] { return app->Screen()->CursorRow() == 2; }));
    Window().OnActivate(true);
    const int x = 4 * app->Fonts().CellWidth;
    const int y = 2 * app->Fonts().CellHeight;
    QImage image = Picture();
    EXPECT_EQ(image.pixel(x, y), qRgb(255, 255, 127));
    EXPECT_EQ(image.pixel(x + 1, y), qRgb(255, 255, 127));
    EXPECT_EQ(image.pixel(x + 2, y), qRgb(0, 0, 128));
    Window().OnActivate(false);
    EXPECT_FALSE(Window().View().CaretFollows());
    image = Picture();
    EXPECT_EQ(image.pixel(x, y), qRgb(0, 0, 128));
    // A hidden caret stays where it was while the cursor moves.
    const QRect hidden = Window().View().CaretCell();
    ASSERT_TRUE(FromHost("\x1b[5;9Hx", "x"));
    EXPECT_EQ(app->Screen()->CursorRow(), 4);
    EXPECT_EQ(Window().View().CaretCell(), hidden);
}

TEST_F(ViewTest, UpdatesAreHonouredAtMostOncePerFrame) {
    TerminalView& view = Window().View();
    ASSERT_TRUE(PumpUntil([&] { return !view.UpdatePending(); }));
    now += 1s;
    const int before = view.PaintCount();
    view.InvalidateAll();
    view.UpdateNow();
    EXPECT_EQ(view.PaintCount(), before + 1);  // nothing painted in the last frame: at once
    now += 15ms;
    view.InvalidateCell(0, 0);
    view.UpdateNow();
    EXPECT_EQ(view.PaintCount(), before + 1);  // within the frame: deferred to its end
    ASSERT_TRUE(PumpUntil([&] { return view.PaintCount() == before + 2; }));
    now += 16ms;
    view.InvalidateCell(0, 0);
    view.UpdateNow();
    EXPECT_EQ(view.PaintCount(), before + 3);  // a frame after the deferred paint: at once
}

// With the clock standing still the whole stream falls in one frame: it is
// painted at the ends of frames, a few times, not once a line.
TEST_F(ViewTest, AScrollHeavyStreamPaintsFramesNotLines) {
    TerminalView& view = Window().View();
    QByteArray stream;
    for (int i = 0; i < 3000; ++i) stream += QByteArray::number(i) + "\r\n";
    stream += "done";
    const int before = view.PaintCount();
    ASSERT_TRUE(FromHost(stream, "done"));
    ASSERT_TRUE(PumpUntil([&] { return !view.UpdatePending(); }));
    const int paints = view.PaintCount() - before;
    EXPECT_GT(paints, 0);
    EXPECT_LE(paints, 10);
    EXPECT_EQ(ScreenRow(22).substr(0, 5), "2999 ");
}

TEST_F(ViewTest, AMovedCaretLeavesNothingBehind) {
    Window().OnActivate(true);
    ASSERT_TRUE(FromHost("\x1b[H\x1b[2J\x1b[3;5Hhere", "here"));
    TerminalView& view = Window().View();
    const int x = 4 * app->Fonts().CellWidth;
    const int y = 2 * app->Fonts().CellHeight;
    now += 1s;
    ASSERT_TRUE(FromHost("\x1b[3;5H", ""));
    ASSERT_TRUE(
        PumpUntil([&] { return app->Screen()->CursorColumn() == 4 && !view.UpdatePending(); }));
    ASSERT_EQ(OnScreen().pixel(x, y), qRgb(255, 255, 127)) << "the caret over the h";
    now += 1s;
    ASSERT_TRUE(FromHost("\x1b[10;20H", ""));
    ASSERT_TRUE(
        PumpUntil([&] { return app->Screen()->CursorRow() == 9 && !view.UpdatePending(); }));
    const QImage image = OnScreen();
    EXPECT_EQ(image.pixel(x, y), qRgb(0, 0, 128)) << "the caret's old cell";
    EXPECT_EQ(image.pixel(19 * app->Fonts().CellWidth, 9 * app->Fonts().CellHeight),
              qRgb(255, 255, 127));
}

}  // namespace
}  // namespace quill::test
