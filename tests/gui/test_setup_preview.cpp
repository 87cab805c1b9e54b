// The Setup dialog's preview: two lines in the working colours, the second
// band inverted across the whole width.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "ui/dialogs/text_example.h"

namespace quill {
namespace {

constexpr int kCell = 16;
constexpr int kWidth = 240;

QRgb Inverse(QRgb c) {
    return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
}

class PreviewTest : public ::testing::Test {
  protected:
    PreviewTest() {
        // A parent with a known background shows through where the preview
        // paints nothing.
        parent.setAutoFillBackground(true);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, QColor(40, 80, 120));
        parent.setPalette(palette);
        parent.resize(kWidth, 4 * kCell);
        preview.setGeometry(0, 0, kWidth, 4 * kCell);
    }

    QImage Grab() { return parent.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Columns covered by "Normal text", the shorter of the two lines.
    int TextWidth() const {
        return QFontMetrics(preview.PreviewFont()).horizontalAdvance("Normal text");
    }

    WorkingColours colours{Rgb{255, 0, 0}, Rgb{0, 0, 255}};
    QWidget parent;
    TextExample preview{colours, "DejaVu Sans Mono", kCell, &parent};
};

TEST_F(PreviewTest, FirstBandInWorkingColoursSecondInverted) {
    const QImage image = Grab();
    const int textWidth = TextWidth();
    ASSERT_GT(textWidth, 20);
    ASSERT_LT(textWidth, kWidth - 10);
    int textPixels = 0;
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < textWidth; ++x) {
            // Red text on blue: only mixtures of the two, never any green.
            const QRgb top = image.pixel(x, y);
            EXPECT_EQ(qGreen(top), 0) << x << "," << y;
            EXPECT_EQ(qRed(top) + qBlue(top), 255) << x << "," << y;
            if (qRed(top) == 255) ++textPixels;
            // The line below, reversed: cyan text on yellow.
            const QRgb bottom = image.pixel(x, kCell + y);
            EXPECT_EQ(qGreen(bottom), 255) << x << "," << kCell + y;
        }
    }
    EXPECT_GT(textPixels, 20);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, kCell), qRgb(255, 255, 0));
}

TEST_F(PreviewTest, BandIsInvertedAcrossTheWholeWidthAndNothingElseIsPainted) {
    const QImage image = Grab();
    const QRgb parentColour = qRgb(40, 80, 120);
    const int x = kWidth - 3;
    EXPECT_EQ(image.pixel(x, kCell / 2), parentColour);
    EXPECT_EQ(image.pixel(x, kCell + kCell / 2), Inverse(parentColour));
    EXPECT_EQ(image.pixel(x, 2 * kCell + 1), parentColour);
    EXPECT_EQ(image.pixel(0, 3 * kCell), parentColour);
}

TEST_F(PreviewTest, ColourChangesShowAtTheNextPaint) {
    colours.background = Rgb{0, 255, 0};
    const QImage image = Grab();
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(0, kCell), qRgb(255, 0, 255));
}

TEST_F(PreviewTest, ATallerFontOverlapsTheBandsThatStayAtTheCellHeight) {
    preview.SetPreviewFont(MakeFixedPitchFont("DejaVu Sans Mono", -40));
    EXPECT_EQ(preview.PreviewFont().pixelSize(), 40);
    const QImage image = Grab();
    // The band still starts one terminal cell down, over the first line.
    EXPECT_EQ(qGreen(image.pixel(0, kCell - 1)), 0);
    EXPECT_EQ(qGreen(image.pixel(0, kCell)), 255);
    EXPECT_EQ(qGreen(image.pixel(0, 2 * kCell - 1)), 255);
    EXPECT_NE(qGreen(image.pixel(0, 2 * kCell)), 255);
}

TEST_F(PreviewTest, StartsWithTheFontFaceAtTheCellHeight) {
    const QFontMetrics metrics(preview.PreviewFont());
    EXPECT_LE(metrics.height(), kCell);
    EXPECT_GE(metrics.height(), kCell - 3);
    EXPECT_TRUE(QFontInfo(preview.PreviewFont()).fixedPitch());
    EXPECT_EQ(preview.cursor().shape(), Qt::IBeamCursor);
}

}  // namespace
}  // namespace quill
