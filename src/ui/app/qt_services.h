#pragma once

#include <QLoggingCategory>
#include <QPointer>
#include <QWidget>
#include <string_view>

#include "core/interfaces/terminal_services.h"

namespace quill {

// Diagnostic lines ("I am here", the escape trace). Off unless enabled, for
// example with QT_LOGGING_RULES="quillterm.trace.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcTrace)

class QtServices final : public TerminalServices {
  public:
    void Beep() override;
    bool TraceEnabled() const override;
    void Trace(std::string_view text) override;
    void SetTitle(std::string_view text) override;
    std::string Title() const override;

    // The window whose title the host sets; none (null) until it exists.
    void SetTitleWindow(QWidget* window) { titleWindow_ = window; }

  private:
    QPointer<QWidget> titleWindow_;
};

}  // namespace quill
