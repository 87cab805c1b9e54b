// Frames of the terminal view, driven by its clock: a scroll moves the
// pixels with one blit and paints only the rows that changed, rows changed
// far apart are painted on their own, and an idle view keeps no timer.
#include <gtest/gtest.h>

#include <QImage>
#include <QScreen>
#include <QTest>
#include <chrono>
#include <string>
#include <vector>

#include "core/engine/headless_terminal.h"
#include "core/settings/terminal_settings.h"
#include "ui/app/display_relay.h"
#include "ui/terminal/terminal_fonts.h"
#include "ui/terminal/terminal_view.h"

namespace quill::test {
namespace {

using namespace std::chrono_literals;

class PaintFramesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        relay.SetTarget(&view);
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
                      TerminalView::Colours{[] { return Rgb{0, 0, 0}; },
                                            [] { return Rgb{255, 255, 255}; }},
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

TEST_F(PaintFramesTest, RowsChangedFarApartArePaintedAlone) {
    Feed("\x1b[2;1Htop\x1b[20;1Hbottom");
    EXPECT_EQ(PaintedRows(), Rows({1, 19}));
    EXPECT_EQ(view.BlitCount(), 0);
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

}  // namespace
}  // namespace quill::test
