#include "ui/dialogs/text_example.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/app/window_messages.h"
#include "ui/terminal/terminal_fonts.h"

namespace quill {

namespace {

// Text drawn with its cell's top-left corner at x, y, on the background colour.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

}  // namespace

std::unique_ptr<QFont> MakeFixedPitchFont(const std::string& face, int height) {
    return std::make_unique<QFont>(MakeTerminalFonts(face, height).fonts[TerminalFonts::kNormal]);
}

TextExample::TextExample(const WorkingColours& colours, std::string face, int cellHeight,
                         QWidget* parent)
    : QFrame(parent), colours_(colours), face_(std::move(face)), cellHeight_(cellHeight) {
    setCursor(Qt::IBeamCursor);
    TextExampleWindowProc(msg::WM_CREATE, 0, 0);
}

std::intptr_t TextExample::TextExampleWindowProc(unsigned message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
    switch (message) {
        case msg::WM_CREATE:
            font_ = MakeFixedPitchFont(face_, cellHeight_);
            return 0;
        case msg::WM_PAINT:
            Paint();
            return 0;
        case msg::WM_COMMAND:
            if (msg::LowWord(wParam) == kTextExampleSetFont && lParam != 0) {
                font_.reset(reinterpret_cast<QFont*>(lParam));
                update();
            }
            return 0;
        default:
            return 0;
    }
}

void TextExample::SetPreviewFont(std::unique_ptr<QFont> font) {
    TextExampleWindowProc(msg::WM_COMMAND, kTextExampleSetFont,
                          reinterpret_cast<std::intptr_t>(font.release()));
}

void TextExample::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);  // the border
    TextExampleWindowProc(msg::WM_PAINT, 0, 0);
}

void TextExample::Paint() {
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    painter.translate(client.topLeft());
    painter.setFont(*font_);
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
