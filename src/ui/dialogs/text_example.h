#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <cstdint>
#include <memory>
#include <string>

#include "core/settings/terminal_settings.h"

namespace quill {

// The window class name of the preview control in the SETUP template.
inline constexpr std::string_view kTextExampleClass = "TextExample";
// The private request that hands the preview a new font.
inline constexpr unsigned kTextExampleSetFont = 1;

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

// The Setup dialog's preview: "Normal text" in the working colours and,
// one cell height below, "Inverted text" in a band with the colours reversed.
class TextExample final : public QFrame {
    Q_OBJECT
  public:
    TextExample(const WorkingColours& colours, std::string face, int cellHeight,
                QWidget* parent = nullptr);

    // WM_CREATE, WM_PAINT and WM_COMMAND; the font request takes ownership
    // of the QFont whose address is in lParam.
    std::intptr_t TextExampleWindowProc(unsigned message, std::uintptr_t wParam,
                                        std::intptr_t lParam);

    // Sends the private request with a font.
    void SetPreviewFont(std::unique_ptr<QFont> font);
    const QFont& PreviewFont() const { return *font_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Paint();

    const WorkingColours& colours_;
    const std::string face_;
    const int cellHeight_;
    std::unique_ptr<QFont> font_;  // deleted with the control
};

// A fixed-pitch font as the terminal makes them: the face and a height that is
// the cell height when positive and the character height when negative.
std::unique_ptr<QFont> MakeFixedPitchFont(const std::string& face, int height);

}  // namespace quill
