#include "ui/resources/dialog_font.h"

namespace quill {

QFont HostControlFont() {
    QFont font(QStringLiteral("Arial"));
    // A negative height asks for the character height, not the cell height:
    // that is the em size, which is what a pixel size sets.
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace quill
