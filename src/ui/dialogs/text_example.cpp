#include "ui/dialogs/text_example.h"

#include <QPainter>

#include "ui/terminal/terminal_fonts.h"

namespace quill {

namespace {

// Text drawn with its cell's top-left corner at x, y, on the background colour.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

}  // namespace

QFont MakeFixedPitchFont(const std::string& face, int height) {
    return MakeTerminalFonts(face, height).fonts[TerminalFonts::kNormal];
}

TextExample::TextExample(const WorkingColours& colours, const std::string& face, int cellHeight,
                         QWidget* parent)
    : QFrame(parent),
      colours_(colours),
      cellHeight_(cellHeight),
      font_(MakeFixedPitchFont(face, cellHeight)) {
    setCursor(Qt::IBeamCursor);
}

void TextExample::SetPreviewFont(const QFont& font) {
    font_ = font;
    update();
}

void TextExample::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);  // the border
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    painter.translate(client.topLeft());
    painter.setFont(font_);
    painter.setPen(ToQColor(colours_.text));
    painter.setBackground(ToQColor(colours_.background));
    painter.setBackgroundMode(Qt::OpaqueMode);
    // The second line sits one terminal cell down, whatever the preview
    // font's own height: a taller font overlaps the two lines.
    const int h = cellHeight_;
    DrawTextAt(painter, 0, 0, QStringLiteral("Normal text"));
    DrawTextAt(painter, 0, h, QStringLiteral("Inverted text"));
    // Every pixel of the band takes its complementary colour.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.fillRect(QRect(0, h, client.width(), h), Qt::white);
}

}  // namespace quill
