#include "ui/resources/menu_mnemonics.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include "ui/resources/accelerators.h"

namespace quill {

void InstallShiftedMnemonics(QMenuBar& bar, QWidget& window) {
    for (QAction* menu : bar.actions()) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(menu->text());
        if (mnemonic.isEmpty()) continue;
        const Qt::Key key = mnemonic[0].key();
        if (key < Qt::Key_A || key > Qt::Key_Z) continue;
        if (QuickKeyCommand(static_cast<char>('A' + (key - Qt::Key_A)))) continue;
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::SHIFT | key), &window);
        QObject::connect(shortcut, &QShortcut::activated, &bar, [&bar, menu] {
            bar.setActiveAction(menu);
            // As with Alt+letter, the first item is highlighted for the arrow keys.
            const QList<QAction*> items = menu->menu()->actions();
            if (!items.isEmpty()) menu->menu()->setActiveAction(items.first());
        });
    }
}

}  // namespace quill
