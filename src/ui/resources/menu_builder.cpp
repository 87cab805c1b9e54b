#include "ui/resources/menu_builder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QString>

#include "ui/resources/qt_text.h"

namespace quill {
namespace {

QAction* AddCommand(QMenu& menu, const QString& text, CommandId id, const CommandHandler& handler) {
    QAction* action = menu.addAction(text);
    QObject::connect(action, &QAction::triggered, &menu, [handler, id] {
        if (handler) handler(id);
    });
    return action;
}

}  // namespace

QAction* MenuActions::Find(CommandId id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MenuActions::Add(CommandId id, QAction* action) {
    actions_.emplace(id, action);
}

bool MenuActions::SetChecked(CommandId id, bool checked) const {
    QAction* action = Find(id);
    if (!action) return false;
    action->setCheckable(true);
    action->setChecked(checked);
    return true;
}

void AppendMenuItems(QMenu& menu, const MenuPopup& popup, const CommandHandler& handler,
                     MenuActions& actions) {
    for (const MenuItem& item : popup.items) {
        if (item.IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        if (item.submenu != nullptr) {
            QMenu* submenu = menu.addMenu(ToQString(item.text));
            AppendMenuItems(*submenu, *item.submenu, handler, actions);
            continue;
        }
        actions.Add(item.id, AddCommand(menu, ToQString(item.text), item.id, handler));
    }
}

MenuActions BuildMenuBar(QMenuBar& bar, std::span<const MenuPopup> popups,
                         const CommandHandler& handler) {
    MenuActions actions;
    for (const MenuPopup& popup : popups) {
        QMenu* menu = bar.addMenu(ToQString(popup.title));
        AppendMenuItems(*menu, popup, handler, actions);
    }
    return actions;
}

QMenu* BuildPopupMenu(QWidget* parent, const HostHistory& hosts, const CommandHandler& handler) {
    auto* popup = new QMenu(parent);
    MenuActions unused;
    AppendMenuItems(*popup, PopMenu(), handler, unused);

    auto* connectTo = new QMenu(ToQString(kConnectToText), popup);
    for (int number = 1; number <= kHostHistorySize; ++number) {
        AddCommand(*connectTo, QString::fromStdString(hosts[number - 1]), ConnectToCommand(number),
                   handler);
    }
    popup->insertMenu(popup->actions().value(0), connectTo);
    return popup;
}

}  // namespace quill
