// Painting of the terminal view (colours, bold and reverse cells, the caret),
// the pacing of updates during bulk output, and the selection rectangle.
#include <QImage>

#include "core/terminal/selection.h"
#include "session_fixture.h"
#include "ui/app/window_messages.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

using namespace msg;

class ViewTest : public SessionTest {
  protected:
    void SetUp() override {
        SetSetting("fgcolor", "0,0,0");
        SetSetting("bgcolor", "0,0,128");
        Connect();
        ASSERT_TRUE(PumpUntil([this] { return Window().View().isVisible(); }));
    }
    QImage Picture() { return Window().View().grab().toImage(); }
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

TEST_F(ViewTest, CaretIsATwoPixelBarAtTheCursorWhileActive) {
    ASSERT_TRUE(FromHost("\x1b[H\x1b[2J\x1b[3;5H", ""));
    ASSERT_TRUE(PumpUntil([this] { return app->Screen()->CursorRow() == 2; }));
    Send(WM_ACTIVATE, WA_ACTIVE);
    const int x = 4 * app->Fonts().CellWidth;
    const int y = 2 * app->Fonts().CellHeight;
    QImage image = Picture();
    EXPECT_EQ(image.pixel(x, y), qRgb(255, 255, 127));
    EXPECT_EQ(image.pixel(x + 1, y), qRgb(255, 255, 127));
    EXPECT_EQ(image.pixel(x + 2, y), qRgb(0, 0, 128));
    Send(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_FALSE(app->Screen()->caretVisible);
    image = Picture();
    EXPECT_EQ(image.pixel(x, y), qRgb(0, 0, 128));
}

TEST_F(ViewTest, UpdatesAreHonouredAtMostOncePerFrame) {
    TerminalView& view = Window().View();
    PumpFor(40);
    const int before = view.PaintCount();
    view.InvalidateAll();
    view.UpdateNow();
    EXPECT_EQ(view.PaintCount(), before + 1);  // nothing painted in the last frame: at once
    view.InvalidateCell(0, 0);
    view.UpdateNow();
    EXPECT_EQ(view.PaintCount(), before + 1);  // within the frame: deferred
    ASSERT_TRUE(PumpUntil([&] { return view.PaintCount() == before + 2; }, 200));
}

TEST_F(ViewTest, AScrollHeavyStreamPaintsFramesNotLines) {
    TerminalView& view = Window().View();
    QByteArray stream;
    for (int i = 0; i < 3000; ++i) stream += QByteArray::number(i) + "\r\n";
    stream += "done";
    const int before = view.PaintCount();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(FromHost(stream, "done"));
    PumpFor(40);
    const int paints = view.PaintCount() - before;
    EXPECT_GT(paints, 0);
    EXPECT_LE(paints, clock.elapsed() / TerminalView::kFrameMs + 4);
    EXPECT_EQ(ScreenRow(22).substr(0, 5), "2999 ");
}

TEST(SelectionRect, SnapsToCellEdgesAndCopiesRowsWithLineEnds) {
    EXPECT_EQ(SnapToCell(20, 8), 16);
    EXPECT_EQ(SnapToCell(23, 8), 24);
    NullDisplay display;
    ScreenModel screen(display);
    screen.BlankScreenMemory();
    screen.ScreenWriteString("abcdefgh\r\nijklmnop\r\nqrstuvwx");
    Selection selection(8, 16);

    selection.SelectionPress(3, 3);
    selection.SelectionRelease();
    EXPECT_TRUE(selection.Rect().Empty());
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "");

    selection.SelectionPress(8, 0);
    selection.SelectionDrag(30, 20);  // row 1; column 3 under x = 30 is not reached
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "bc\r\njk\r\n");
    selection.SelectionDrag(31, 20);  // its last pixel column includes it
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "bcd\r\njkl\r\n");
    selection.SelectionRelease();
    selection.SelectionDrag(70, 40);  // released: moves change nothing
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "bcd\r\njkl\r\n");
}

TEST(SelectionRect, BackwardRectanglesSelectNoCells) {
    NullDisplay display;
    ScreenModel screen(display);
    screen.BlankScreenMemory();
    Selection selection(8, 16);
    selection.SelectionPress(40, 40);
    selection.SelectionDrag(10, 40);  // left of the press: one line end per row
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "\r\n");
    selection.SelectionDrag(60, 0);  // above the press row: no rows
    EXPECT_EQ(selection.Rect().bottom, 16);
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "");
}

}  // namespace
}  // namespace quill::test
