#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <cstdint>
#include <string>

#include "core/interfaces/rgb.h"

namespace quill {

// The colours the Setup dialog is working with, which the preview draws in.
struct WorkingColours {
    Rgb text;
    Rgb background;
};

inline QColor ToQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}
inline Rgb ToRgb(const QColor& c) {
    return Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue())};
}

// The Setup dialog's preview (window class TextExample): "Normal text" in the
// working colours and, one cell height below, "Inverted text" in a band with
// the colours reversed. It starts in the terminal's font; a font chosen in
// the dialog replaces it.
class TextExample final : public QFrame {
    Q_OBJECT
  public:
    TextExample(const WorkingColours& colours, const std::string& face, int cellHeight,
                QWidget* parent = nullptr);

    void SetPreviewFont(const QFont& font);
    const QFont& PreviewFont() const { return font_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const WorkingColours& colours_;
    const int cellHeight_;
    QFont font_;
};

// A fixed-pitch font as the terminal makes them: the face and a height that is
// the cell height when positive and the character height when negative.
QFont MakeFixedPitchFont(const std::string& face, int height);

}  // namespace quill
