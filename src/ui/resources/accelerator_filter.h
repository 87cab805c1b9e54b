#pragma once

#include <QObject>
#include <optional>

#include "ui/resources/menu_builder.h"

class QKeyEvent;
class QWidget;

namespace quill {

// Turns Alt+letter keys of the QUICKKEYS table into commands for one window,
// ahead of the widgets and of the menu bar's mnemonics (Alt+C is Copy, not the
// Connection menu). Keys aimed at other windows, such as a modal dialog, pass.
class AcceleratorFilter : public QObject {
    Q_OBJECT
  public:
    AcceleratorFilter(QWidget* window, CommandHandler handler);

    // The command an Alt+key event stands for, if any.
    static std::optional<CommandId> CommandFor(const QKeyEvent& event);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool IsForWindow(QObject* watched) const;

    QWidget* window_;
    CommandHandler handler_;
};

// Installs the filter on the application; it lives as long as `window`.
AcceleratorFilter* InstallAccelerators(QWidget* window, CommandHandler handler);

}  // namespace quill
