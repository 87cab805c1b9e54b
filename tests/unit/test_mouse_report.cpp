// The host's mouse reports in each tracking mode and both encodings, and the
// paste that cannot end its brackets early.
#include <gtest/gtest.h>

#include <string>

#include "core/terminal/bracketed_paste.h"
#include "core/terminal/mouse_report.h"

namespace quill::test {
namespace {

struct MouseReportTest : ::testing::Test {
    TerminalModes modes;
    MouseReporter reporter;

    std::string Report(MouseAction action, MouseButton button, int column, int row,
                       KeyModifiers modifiers = {}) {
        return reporter.Report({action, button, column, row, modifiers}, modes);
    }
    std::string Press(MouseButton button, int column = 0, int row = 0, KeyModifiers held = {}) {
        return Report(MouseAction::kPress, button, column, row, held);
    }
};

TEST_F(MouseReportTest, NothingIsReportedUntilTheHostAsks) {
    EXPECT_EQ(Press(MouseButton::kLeft), "");
    EXPECT_EQ(Report(MouseAction::kMove, MouseButton::kLeft, 3, 3), "");
}

// ?9: presses of the three buttons only, without modifiers.
TEST_F(MouseReportTest, X10ModeReportsButtonPressesAlone) {
    modes.SetMouse(MouseTracking::kPresses);
    EXPECT_EQ(Press(MouseButton::kRight, 1, 2, {true, true, true}), "\x1b[M\"\"#");
    EXPECT_EQ(Report(MouseAction::kRelease, MouseButton::kRight, 1, 2), "");
    EXPECT_EQ(Press(MouseButton::kWheelUp), "");
}

// Byte positions: 32 plus the 1-based position, 0 beyond the 223 a byte holds.
TEST_F(MouseReportTest, ByteEncodingCarriesModifiersReleasesAndPositionsUpTo223) {
    modes.SetMouse(MouseTracking::kPressesReleases);
    EXPECT_EQ(Press(MouseButton::kMiddle, 222, 0, {false, true, true}), "\x1b[M9\xff!");
    EXPECT_EQ(Report(MouseAction::kRelease, MouseButton::kMiddle, 223, 300, {true}),
              std::string("\x1b[M'\0\0", 6));
    EXPECT_EQ(Press(MouseButton::kWheelDown, 4, 5), "\x1b[Ma%&");
    EXPECT_EQ(Report(MouseAction::kRelease, MouseButton::kWheelDown, 4, 5), "");
    EXPECT_EQ(Report(MouseAction::kMove, MouseButton::kLeft, 9, 9), "") << "no drags in ?1000";
}

TEST_F(MouseReportTest, SgrEncodingNamesTheReleasedButtonAndHasNoLimit) {
    modes.SetMouse(MouseTracking::kPressesReleases);
    modes.SetMouseSgr(true);
    EXPECT_EQ(Press(MouseButton::kLeft, 299, 9, {true}), "\x1b[<4;300;10M");
    EXPECT_EQ(Report(MouseAction::kRelease, MouseButton::kRight, 0, 0), "\x1b[<2;1;1m");
    EXPECT_EQ(Press(MouseButton::kWheelUp, 0, 0), "\x1b[<64;1;1M");
}

// ?1002 reports moves with a button held, once per cell; ?1003 every move.
TEST_F(MouseReportTest, MovesAreReportedInTheDragModesOncePerCell) {
    modes.SetMouse(MouseTracking::kDrags);
    modes.SetMouseSgr(true);
    EXPECT_EQ(Press(MouseButton::kLeft, 2, 2), "\x1b[<0;3;3M");
    EXPECT_EQ(Report(MouseAction::kMove, MouseButton::kLeft, 2, 2), "");
    EXPECT_EQ(Report(MouseAction::kMove, MouseButton::kLeft, 3, 2), "\x1b[<32;4;3M");
    EXPECT_EQ(Report(MouseAction::kMove, MouseButton::kNone, 5, 2), "");
    modes.SetMouse(MouseTracking::kAllMotion);
    EXPECT_EQ(Report(MouseAction::kMove, MouseButton::kNone, 6, 2, {false, false, true}),
              "\x1b[<51;7;3M");
}

TEST(BracketedPaste, EndBracketsAreRemovedUntilNoneIsLeft) {
    EXPECT_EQ(WithoutPasteEnds(u"a\x1b[20\x1b[201~1~b\x1b[201"), u"ab\x1b[201");
    EXPECT_EQ(WithoutPasteEnds(u"\x1b[200~x\x1b[201~\x1b[201~"), u"\x1b[200~x");
}

TEST(ExtendedPaste, EveryLineEndIsOneCr) {
    EXPECT_EQ(WithEnterLineEnds(u"a\r\nb\nc\rd\r\n\r\n"), u"a\rb\rc\rd\r\r");
}

}  // namespace
}  // namespace quill::test
