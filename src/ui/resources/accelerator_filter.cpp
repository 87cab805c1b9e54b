#include "ui/resources/accelerator_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "ui/resources/accelerators.h"

namespace quill {

AcceleratorFilter::AcceleratorFilter(QWidget* window, CommandHandler handler)
    : QObject(window), window_(window), handler_(std::move(handler)) {}

std::optional<CommandId> AcceleratorFilter::CommandFor(const QKeyEvent& event) {
    const Qt::KeyboardModifiers all = Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier;
    if ((event.modifiers() & (all | Qt::ShiftModifier)) == (Qt::ControlModifier | Qt::ShiftModifier) &&
        event.key() == Qt::Key_F) {
        return CommandId::kFind;
    }
    const Qt::KeyboardModifiers mods = event.modifiers() & all;
    if (mods != Qt::AltModifier) return std::nullopt;
    const int key = event.key();
    if (key < Qt::Key_A || key > Qt::Key_Z) return std::nullopt;
    return QuickKeyCommand(static_cast<char>('A' + (key - Qt::Key_A)));
}

bool AcceleratorFilter::IsForWindow(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == window_;
}

bool AcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
    if (!IsForWindow(watched)) return false;
    const std::optional<CommandId> id = CommandFor(*static_cast<QKeyEvent*>(event));
    if (!id) return false;
    if (type == QEvent::ShortcutOverride) {
        // Claim the key so the shortcut map (menu mnemonics) leaves it alone;
        // the key press that follows carries the command.
        event->accept();
        return true;
    }
    if (handler_) handler_(*id);
    return true;
}

AcceleratorFilter* InstallAccelerators(QWidget* window, CommandHandler handler) {
    auto* filter = new AcceleratorFilter(window, std::move(handler));
    qApp->installEventFilter(filter);
    return filter;
}

}  // namespace quill
