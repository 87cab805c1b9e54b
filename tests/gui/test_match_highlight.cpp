// The find marks over the painted text: each match covers its own cells at
// the width of its row's cells, a double-size row's twice the font's, and a
// match that goes on in the row below reaches the grid's right edge.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <utility>
#include <vector>

#include "ui/terminal/match_highlight.h"

namespace quill::test {
namespace {

constexpr int kCellHeight = 10;

// The runs of marked pixels across the middle of a window row, [from, to).
std::vector<std::pair<int, int>> MarkedRuns(const QImage& image, int row) {
    std::vector<std::pair<int, int>> runs;
    const int y = row * kCellHeight + kCellHeight / 2;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
        if (runs.empty() || runs.back().second != x) runs.emplace_back(x, x);
        runs.back().second = x + 1;
    }
    return runs;
}

TEST(MatchHighlight, MarksCoverTheCellsAtTheirRowsWidth) {
    const std::vector<int> widths = {8, 16, 8};
    const std::vector<SearchMatch> matches = {
        {.firstRow = 100, .firstColumn = 8, .lastRow = 101, .lastColumn = 1},
        {.firstRow = 101, .firstColumn = 3, .lastRow = 101, .lastColumn = 3},
        {.firstRow = 102, .firstColumn = 2, .lastRow = 102, .lastColumn = 3},
    };
    QImage image(100, 3 * kCellHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintMatchHighlights(painter, matches, std::nullopt,
                         {.viewTop = 100, .rows = 3, .width = 80, .cellHeight = kCellHeight,
                          .cellWidths = widths});
    painter.end();

    using Runs = std::vector<std::pair<int, int>>;
    EXPECT_EQ(MarkedRuns(image, 0), (Runs{{64, 80}}));
    EXPECT_EQ(MarkedRuns(image, 1), (Runs{{0, 32}, {48, 64}}));
    EXPECT_EQ(MarkedRuns(image, 2), (Runs{{16, 32}}));
}

}  // namespace
}  // namespace quill::test
