// Painting of the terminal view (colours, bold and reverse cells, the caret),
// the pacing of updates during bulk output, and the selection rectangle.
#include <QElapsedTimer>
#include <QImage>

#include "session_fixture.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

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
    Window().OnActivate(true);
    const int x = 4 * app->Fonts().CellWidth;
    const int y = 2 * app->Fonts().CellHeight;
    QImage image = Picture();
    EXPECT_EQ(image.pixel(x, y), qRgb(255, 255, 127));
    EXPECT_EQ(image.pixel(x + 1, y), qRgb(255, 255, 127));
    EXPECT_EQ(image.pixel(x + 2, y), qRgb(0, 0, 128));
    Window().OnActivate(false);
    EXPECT_FALSE(app->Screen()->CaretVisible());
    image = Picture();
    EXPECT_EQ(image.pixel(x, y), qRgb(0, 0, 128));
}

TEST_F(ViewTest, UpdatesAreHonouredAtMostOncePerFrame) {
    TerminalView& view = Window().View();
    ASSERT_TRUE(PumpUntil([&] { return !view.PaintedWithinFrame(); }));
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
    ASSERT_TRUE(PumpUntil([&] { return !view.UpdatePending(); }));
    const int paints = view.PaintCount() - before;
    EXPECT_GT(paints, 0);
    EXPECT_LE(paints, clock.elapsed() / TerminalView::kFrameMs + 4);
    EXPECT_EQ(ScreenRow(22).substr(0, 5), "2999 ");
}

}  // namespace
}  // namespace quill::test
