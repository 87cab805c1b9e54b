#pragma once

#include <functional>
#include <map>
#include <span>
#include <string>

#include "core/settings/host_history.h"
#include "ui/resources/command_ids.h"
#include "ui/resources/menus.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace quill {

using CommandHandler = std::function<void(CommandId id)>;

// The actions made from a menu table, by command id, so that the window can
// set check marks and texts later.
class MenuActions {
  public:
    QAction* Find(CommandId id) const;
    void Add(CommandId id, QAction* action);
    // Sets the check mark of the item; returns false when there is no such item.
    bool SetChecked(CommandId id, bool checked) const;

  private:
    std::map<CommandId, QAction*> actions_;
};

// Fills the menu bar with the popups of the table. Choosing an item calls
// `handler` with its id.
MenuActions BuildMenuBar(QMenuBar& bar, std::span<const MenuPopup> popups,
                         const CommandHandler& handler);

// Appends the items of one popup to `menu`.
void AppendMenuItems(QMenu& menu, const MenuPopup& popup, const CommandHandler& handler,
                     MenuActions& actions);

// The right-button menu: the POPMENU items with the "Connect to" submenu in
// front, holding one item per history slot (ids 9101 up), empty ones too.
// The caller owns the returned menu.
QMenu* BuildPopupMenu(QWidget* parent, const HostHistory& hosts, const CommandHandler& handler);

}  // namespace quill
