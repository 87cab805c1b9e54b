// Menus, accelerators, dialog templates and their builder, icon, strings and
// the help window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <vector>

#include "core/version.h"
#include "ui/resources/accelerator_filter.h"
#include "ui/resources/accelerators.h"
#include "ui/resources/command_ids.h"
#include "ui/resources/control_ids.h"
#include "ui/resources/dialog_template.h"
#include "ui/resources/dialog_units.h"
#include "ui/resources/help_window.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_mnemonics.h"
#include "ui/resources/menus.h"
#include "ui/resources/message_box.h"
#include "ui/resources/program_icon.h"
#include "ui/resources/string_table.h"
#include "ui/resources/template_dialog.h"

// What a real key press does first: offer the key to the shortcut map (with
// the ShortcutOverride event to the focus object). Exported by QtGui.
bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                  const QString& text, bool autorep, ushort count);

namespace quill {
namespace {

// A key press and release as the window system delivers it: shortcuts first,
// then the focus widget.
void PressKey(QWidget* target, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
    if (!qt_sendShortcutOverrideEvent(target, 0, key, mods, text, false, 1)) {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(target, &press);
    }
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(target, &release);
}

struct Shown {
    QString text;
    int id;  // 0 for a separator, -1 for a submenu
};

std::vector<Shown> Items(const QMenu& menu) {
    std::vector<Shown> items;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            items.push_back({QString(), 0});
        } else {
            items.push_back({action->text(), action->menu() ? -1 : 0});
        }
    }
    return items;
}

TEST(MenuBar, HasThePopupsAndItemsOfTheTableInOrder) {
    QMenuBar bar;
    std::vector<int> chosen;
    const MenuActions actions =
        BuildMenuBar(bar, TelMenu(), [&](CommandId id) { chosen.push_back(static_cast<int>(id)); });

    const QList<QAction*> popups = bar.actions();
    ASSERT_EQ(popups.size(), 4);
    EXPECT_EQ(popups[0]->text(), "&Connection");
    EXPECT_EQ(popups[3]->text(), "&Help");
    const QMenu* connection = popups[0]->menu();
    ASSERT_NE(connection, nullptr);
    const QList<QAction*> items = connection->actions();
    ASSERT_EQ(items.size(), 11);
    EXPECT_EQ(items[0]->text(), "&New Connection\tAlt-N");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[3]->text(), "&Toggle Print Capture\tAlt-T");
    EXPECT_EQ(items[4]->text(), "&Log Session...\tAlt-L");
    EXPECT_EQ(items[5]->text(), "&Run Script...\tAlt-R");
    EXPECT_EQ(items[6]->text(), "Send &Files (ZMODEM)...");
    EXPECT_EQ(items[7]->text(), "Send Telnet Co&mmand");
    EXPECT_EQ(items[8]->text(), "Connection &Information...\tAlt-I");
    EXPECT_TRUE(items[9]->isSeparator());
    EXPECT_EQ(items[10]->text(), "E&xit\tAlt-X");
    ASSERT_NE(items[7]->menu(), nullptr);
    QStringList commands;
    for (const QAction* command : items[7]->menu()->actions()) commands << command->text();
    EXPECT_EQ(commands, QStringList({"&Break", "&Interrupt Process", "&Abort Output",
                                     "Are &You There", "Erase &Character", "Erase &Line", "&Synch",
                                     "&No Operation"}));

    // Every item reaches the handler with its id; the lookup finds the same action.
    for (int id : {101, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 202,
                   203, 901, 905, 999, 2001, 2002, 2003, 2004, 2005}) {
        QAction* action = actions.Find(CommandId{id});
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
        EXPECT_EQ(chosen.back(), id);
    }
    EXPECT_EQ(chosen.size(), 25u);
    EXPECT_EQ(actions.Find(CommandId{9101}), nullptr);
    EXPECT_EQ(actions.Find(CommandId{2002})->text(), "&Wrap");
    EXPECT_EQ(actions.Find(CommandId{2001})->text(), "Show &codes");
    const QList<QAction*> setup = popups[2]->menu()->actions();
    ASSERT_EQ(setup.size(), 5);
    EXPECT_EQ(setup[1]->text(), "&Wrap");
    EXPECT_EQ(setup[2]->text(), "&Extended Terminal");
    EXPECT_EQ(setup[3]->text(), "&BBS Terminal (CP437)");
    EXPECT_EQ(setup[4]->text(), "&Setup Dialog\tAlt-S");
}

TEST(MenuBar, CheckMarksFollowSetChecked) {
    QMenuBar bar;
    const MenuActions actions = BuildMenuBar(bar, TelMenu(), [](CommandId) {});
    EXPECT_FALSE(actions.Find(CommandId{2001})->isChecked());
    EXPECT_TRUE(actions.SetChecked(CommandId{2002}, true));
    EXPECT_TRUE(actions.Find(CommandId{2002})->isChecked());
    EXPECT_TRUE(actions.SetChecked(CommandId{2002}, false));
    EXPECT_FALSE(actions.Find(CommandId{2002})->isChecked());
    EXPECT_FALSE(actions.SetChecked(CommandId{4242}, true));
}

TEST(PopupMenu, ConnectToSubmenuComesFirstWithAllTenSlots) {
    const HostHistory hosts{"alpha", "", "gamma", "", "", "", "", "", "", "omega"};
    int chosen = 0;
    QMenu* popup =
        BuildPopupMenu(nullptr, hosts, [&](CommandId id) { chosen = static_cast<int>(id); });
    const std::vector<Shown> items = Items(*popup);
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].text, "Connect to");
    EXPECT_EQ(items[0].id, -1);
    EXPECT_EQ(items[1].id, 0) << "the separator the submenu was put before";
    EXPECT_EQ(items[2].text, "Copy");
    EXPECT_EQ(items[3].text, "Paste");
    EXPECT_EQ(items[5].text, "Properties");
    EXPECT_EQ(items[7].text, "Exit");

    const QList<QAction*> hostItems = popup->actions()[0]->menu()->actions();
    ASSERT_EQ(hostItems.size(), 10);
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(hostItems[n]->text().toStdString(), hosts[n]) << n;
        hostItems[n]->trigger();
        EXPECT_EQ(chosen, 9101 + n);
    }
    popup->actions()[5]->trigger();  // Properties
    EXPECT_EQ(chosen, 2003);
    delete popup;
}

TEST(PopupMenu, FewerHostsStillGiveTenSlots) {
    QMenu* popup = BuildPopupMenu(nullptr, HostHistory{"solo"}, [](CommandId) {});
    const QList<QAction*> hostItems = popup->actions()[0]->menu()->actions();
    ASSERT_EQ(hostItems.size(), 10);
    EXPECT_EQ(hostItems[0]->text(), "solo");
    EXPECT_EQ(hostItems[9]->text(), "");
    delete popup;
}

TEST(QuickKeys, AltLettersGiveTheirCommands) {
    EXPECT_EQ(QuickKeys().size(), 10u);
    EXPECT_EQ(QuickKeyCommand('N'), CommandId::kNewConnection);
    EXPECT_EQ(QuickKeyCommand('c'), CommandId::kCopy);
    EXPECT_EQ(QuickKeyCommand('V'), CommandId::kPaste);
    EXPECT_EQ(QuickKeyCommand('p'), CommandId::kPrintScreen);
    EXPECT_EQ(QuickKeyCommand('X'), CommandId::kExit);
    EXPECT_EQ(QuickKeyCommand('S'), CommandId::kSetupDialog);
    EXPECT_EQ(QuickKeyCommand('T'), CommandId::kTogglePrintCapture);
    EXPECT_EQ(QuickKeyCommand('l'), CommandId::kLogSession);
    EXPECT_EQ(QuickKeyCommand('r'), CommandId::kRunScript);
    EXPECT_EQ(QuickKeyCommand('i'), CommandId::kConnectionInformation);
    EXPECT_FALSE(QuickKeyCommand('E').has_value());
    EXPECT_FALSE(QuickKeyCommand('1').has_value());
}

// A main window with the menu bar, whose mnemonics Alt+C (Connection) and
// Alt+S (Setup) clash with the accelerators.
class AcceleratorTest : public ::testing::Test {
  protected:
    AcceleratorTest() {
        actions_ = BuildMenuBar(*window_.menuBar(), TelMenu(),
                                [this](CommandId id) { menu_.push_back(static_cast<int>(id)); });
        window_.setCentralWidget(view_);
        view_->setFocusPolicy(Qt::StrongFocus);
        InstallAccelerators(&window_,
                            [this](CommandId id) { commands_.push_back(static_cast<int>(id)); });
        InstallShiftedMnemonics(*window_.menuBar(), window_);
        window_.show();
        window_.activateWindow();
        view_->setFocus();
        QCoreApplication::processEvents();
    }

    QMainWindow window_;
    QWidget* view_ = new QWidget;
    MenuActions actions_;
    std::vector<int> commands_;
    std::vector<int> menu_;
};

TEST_F(AcceleratorTest, AltKeysOfTheTableBecomeCommandsBeforeMenuMnemonics) {
    PressKey(view_, Qt::Key_C, Qt::AltModifier);
    PressKey(view_, Qt::Key_S, Qt::AltModifier);
    PressKey(view_, Qt::Key_N, Qt::AltModifier);
    PressKey(view_, Qt::Key_V, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(commands_, (std::vector<int>{202, 2003, 101, 203}));
    EXPECT_TRUE(menu_.empty());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "no menu was opened";
}

TEST_F(AcceleratorTest, MenusWhoseLetterIsNoAcceleratorOpenWithAltWithOrWithoutShift) {
    const std::pair<Qt::Key, QString> menus[] = {{Qt::Key_E, "&Edit"}, {Qt::Key_H, "&Help"}};
    const Qt::KeyboardModifiers withAndWithoutShift[] = {Qt::AltModifier,
                                                         Qt::AltModifier | Qt::ShiftModifier};
    for (const Qt::KeyboardModifiers mods : withAndWithoutShift) {
        for (const auto& [key, title] : menus) {
            PressKey(view_, key, mods);
            auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(open, nullptr) << title.toStdString() << " with modifiers " << mods;
            EXPECT_EQ(open->title(), title);
            EXPECT_EQ(open->activeAction(), open->actions().value(0));
            open->close();
        }
    }
    // A letter shared with an accelerator stays the accelerator's, Shift or not.
    PressKey(view_, Qt::Key_S, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(commands_, (std::vector<int>{static_cast<int>(CommandId::kSetupDialog)}));
    EXPECT_TRUE(menu_.empty());
}

TEST_F(AcceleratorTest, OtherKeysPass) {
    PressKey(view_, Qt::Key_E, Qt::AltModifier);      // not in the table
    PressKey(view_, Qt::Key_C, Qt::ControlModifier);  // Ctrl+C goes to the host
    PressKey(view_, Qt::Key_C, Qt::AltModifier | Qt::ControlModifier);
    PressKey(view_, Qt::Key_N, Qt::NoModifier, "n");
    EXPECT_TRUE(commands_.empty());
}

TEST_F(AcceleratorTest, KeysForAnotherWindowPass) {
    QWidget other;
    other.show();
    PressKey(&other, Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(commands_.empty());
}

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(9, 7, 4), 16);   // 15.75
    EXPECT_EQ(MulDiv(10, 6, 4), 15);  // 15
    EXPECT_EQ(MulDiv(3, 6, 4), 5);    // 4.5
    EXPECT_EQ(MulDiv(-3, 6, 4), -5);  // -4.5
    EXPECT_EQ(MulDiv(1, 13, 8), 2);   // 1.625
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(DialogUnits, RectangleScalesByQuartersAndEighths) {
    const QRect r = DialogToPixels({9, 33, 25, 12}, {6, 13});
    EXPECT_EQ(r, QRect(14, 54, 38, 20));  // 13.5, 53.6, 37.5, 19.5
}

TEST(DialogUnits, BaseUnitsComeFromTheFont) {
    QFont small;
    small.setPixelSize(10);
    QFont large;
    large.setPixelSize(20);
    const DialogBaseUnits a = BaseUnitsOf(small);
    const DialogBaseUnits b = BaseUnitsOf(large);
    EXPECT_GT(a.cx, 0);
    EXPECT_EQ(a.cy, QFontMetrics(small).height());
    EXPECT_GT(b.cx, a.cx);
    EXPECT_GT(b.cy, a.cy);
    const int letters = QFontMetrics(large).horizontalAdvance(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_NEAR(b.cx, letters / 52.0, 1.0);
}

TEST(DialogTemplates, IdsAreUniqueWithinEachDialog) {
    for (const DialogTemplate* t : {&ConnectTemplate(), &ListHostsTemplate(), &SetupTemplate(),
                                    &AboutTemplate(), &SplashTemplate(), &PrintTemplate()}) {
        const std::string name(t->name);
        std::vector<int> ids;
        for (const ControlTemplate& c : t->controls) {
            if (c.id == kNoControlId) continue;
            EXPECT_EQ(std::count(ids.begin(), ids.end(), c.id.value), 0)
                << name << " " << c.id.value;
            ids.push_back(c.id.value);
            // Every control lies inside its dialog.
            EXPECT_LE(c.rect.x + c.rect.width, t->rect.width + 1) << name << " " << c.id.value;
        }
    }
}

// The widgets reached with Tab from `first`, as control ids, until it comes round.
std::vector<int> TabOrder(const TemplateDialog& dialog, QWidget* first) {
    std::vector<int> order;
    QWidget* w = first;
    for (int guard = 0; guard < 50; ++guard) {
        for (const ControlTemplate& c : dialog.Resource().controls) {
            QWidget* control = dialog.Control(c.id);
            if (control && (control == w || control->focusProxy() == w))
                order.push_back(c.id.value);
        }
        do {
            w = w->nextInFocusChain();
        } while (w != first && !(w->focusPolicy() & Qt::TabFocus));
        if (w == first) break;
    }
    return order;
}

TEST(TemplateDialog, CheckBoxLabelsShowWholeWhereTheTemplatePutsThem) {
    TemplateDialog setup(SetupTemplate(), nullptr);
    for (int id : {2001, 2002, 2003, 2004, 2005}) {
        QWidget* box = setup.Control(ControlId(id));
        ASSERT_NE(box, nullptr) << id;
        EXPECT_GE(box->width(), box->sizeHint().width()) << id;
    }
    EXPECT_EQ(setup.Control(ControlId(2003))->pos(),
              DialogToPixels({10, 41, 53, 12}, setup.BaseUnits()).topLeft());
    // "Max on Start" and "CR = CR/LF" share a row and must not overlap.
    EXPECT_LT(setup.Control(ControlId(2003))->geometry().right(),
              setup.Control(ControlId(2005))->x());
}

TEST(TemplateDialog, ConnectControlsSitWhereTheTemplateSays) {
    TemplateDialog dialog(ConnectTemplate(), nullptr);
    const DialogBaseUnits u = dialog.BaseUnits();
    EXPECT_EQ(u.cy, QFontMetrics(dialog.font()).height());
    EXPECT_EQ(dialog.size(), QSize(MulDiv(102, u.cx, 4), MulDiv(48, u.cy, 8)));
    EXPECT_EQ(dialog.windowTitle(), "Connect");
    EXPECT_EQ(dialog.Control(ControlId(100))->geometry(), DialogToPixels({69, 31, 30, 14}, u));
    EXPECT_EQ(dialog.Control(ControlId(300))->geometry(), DialogToPixels({9, 33, 25, 12}, u));
    // The combo box takes the template's width; its height is the field's.
    EXPECT_EQ(dialog.Control(ControlId(200))->geometry().topLeft(),
              DialogToPixels({9, 13, 89, 72}, u).topLeft());
    EXPECT_EQ(dialog.Control(ControlId(200))->width(), MulDiv(89, u.cx, 4));
    EXPECT_TRUE(dialog.ControlAs<QComboBox>(ControlId(200))->isEditable());
    EXPECT_TRUE(dialog.ControlAs<QPushButton>(ControlId(100))->isDefault());
    EXPECT_FALSE(dialog.ControlAs<QPushButton>(ControlId(101))->isDefault());
    EXPECT_EQ(dialog.ItemText(ControlId(101)), "Cancel");
    EXPECT_EQ(dialog.Control(ControlId(-1)), nullptr);
}

TEST(TemplateDialog, TabGoesInTemplateOrderThroughTabStopsOnly) {
    TemplateDialog connect(ConnectTemplate(), nullptr);
    EXPECT_EQ(TabOrder(connect, connect.Control(ControlId(300))),
              (std::vector<int>{300, 100, 200, 101}));
    // The host list box has no tab stop.
    TemplateDialog list(ListHostsTemplate(), nullptr);
    EXPECT_EQ(TabOrder(list, list.Control(ControlId(100))), (std::vector<int>{100, 101}));
    EXPECT_FALSE(list.Control(ControlId(200))->focusPolicy() & Qt::TabFocus);
}

TEST(TemplateDialog, SetupHasItsCustomControlDisabledBoxAndGroup) {
    std::string askedFor;
    TemplateDialog setup(SetupTemplate(), nullptr, {}, [&](std::string_view name, QWidget* parent) {
        askedFor = name;
        auto* frame = new QFrame(parent);
        frame->setObjectName("preview");
        return frame;
    });
    EXPECT_EQ(askedFor, "TextExample");
    ASSERT_NE(setup.Control(ControlId(400)), nullptr);
    EXPECT_EQ(setup.Control(ControlId(400))->objectName(), "preview");
    EXPECT_EQ(qobject_cast<QFrame*>(setup.Control(ControlId(400)))->frameShape(), QFrame::Box);
    ASSERT_NE(setup.ControlAs<QCheckBox>(ControlId(2002)), nullptr);
    EXPECT_FALSE(setup.Control(ControlId(2002))->isEnabled());
    EXPECT_TRUE(setup.Control(ControlId(2001))->isEnabled());
    EXPECT_EQ(setup.ItemText(ControlId(2005)), "CR = CR/LF");
}

TEST(TemplateDialog, CommandsReachTheHandler) {
    std::vector<int> commands;
    bool initialised = false;
    DialogHandlers handlers;
    handlers.onInitDialog = [&](TemplateDialog&) { initialised = true; };
    handlers.onCommand = [&](TemplateDialog&, ControlId id) { commands.push_back(id.value); };
    TemplateDialog setup(SetupTemplate(), nullptr, handlers);
    EXPECT_FALSE(initialised);
    setup.Initialise();
    EXPECT_TRUE(initialised);
    setup.ControlAs<QPushButton>(ControlId(301))->click();
    setup.ControlAs<QCheckBox>(ControlId(2004))->click();
    EXPECT_EQ(commands, (std::vector<int>{301, 2004}));
    EXPECT_TRUE(setup.ControlAs<QCheckBox>(ControlId(2004))->isChecked()) << "automatic check box";
}

TEST(TemplateDialog, EscapeAndCloseBoxSendTheStandardCancelAndStayOpen) {
    std::vector<int> commands;
    DialogHandlers handlers;
    handlers.onCommand = [&](TemplateDialog& d, ControlId id) {
        commands.push_back(id.value);
        if (id == AboutControl::kOk) d.EndDialog(1);
    };
    TemplateDialog about(AboutTemplate(), nullptr, handlers);
    int result = -1;
    QTimer::singleShot(0, &about, [&] {
        PressKey(&about, Qt::Key_Escape, Qt::NoModifier);
        about.close();
        EXPECT_TRUE(about.isVisible());
        PressKey(about.Control(ControlId(100)), Qt::Key_Return, Qt::NoModifier);
    });
    QTimer::singleShot(5000, &about, [&] { about.done(-2); });  // never hang
    result = about.RunModal();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(commands, (std::vector<int>{2, 2, 100}));
}

TEST(TemplateDialog, PlacedFromTheOwnersClientArea) {
    QMainWindow owner;
    owner.setCentralWidget(new QWidget);
    owner.setGeometry(100, 120, 600, 400);
    owner.show();
    QCoreApplication::processEvents();
    TemplateDialog print(PrintTemplate(), &owner);
    const QPoint client = owner.centralWidget()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(print.pos(), client + DialogToPixels({107, 83, 1, 1}, print.BaseUnits()).topLeft());
    EXPECT_TRUE(print.windowFlags() & Qt::WindowTitleHint);
    EXPECT_EQ(print.ItemText(ControlId(-1)), "");
}

TEST(TemplateDialog, SplashHasNoCaptionAndShowsTheIcon) {
    TemplateDialog splash(SplashTemplate(), nullptr);
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    const QList<QLabel*> labels = splash.findChildren<QLabel*>();
    int icons = 0;
    for (const QLabel* label : labels) icons += label->pixmap().isNull() ? 0 : 1;
    EXPECT_EQ(icons, 1);
}

TEST(ProgramResources, IconAndStrings) {
    EXPECT_FALSE(ProgramIcon().isNull());
    EXPECT_FALSE(ProgramIcon().pixmap(32, 32).isNull());
    EXPECT_FALSE(LoadProgramIcon("Quillterm").isNull());
    EXPECT_FALSE(LoadProgramIcon("QUILLTERM").isNull());
    EXPECT_TRUE(LoadProgramIcon("other").isNull());
    EXPECT_EQ(LoadString(kPrintDocumentString), "Quillterm -- ");
    EXPECT_EQ(LoadString(1001), "");
}

TEST(HelpWindow, ShowsTheHelpPageAtTheAskedSectionInOneWindow) {
    HelpViewer help;
    EXPECT_EQ(help.Browser(), nullptr);
    help.Show(nullptr, HelpTopic::Index);
    QTextBrowser* browser = help.Browser();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isVisible());
    EXPECT_EQ(browser->source().fragment(), "index");
    const QString text = browser->toPlainText();
    for (const char* heading : {"Menus", "Keys", "Options", "Using help", "New Connection"}) {
        EXPECT_TRUE(text.contains(heading)) << heading;
    }
    EXPECT_TRUE(
        text.startsWith(QString::fromStdString("Quillterm " + std::string(kProgramVersion))));
    help.Show(nullptr, HelpTopic::UsingHelp);
    EXPECT_EQ(help.Browser(), browser);
    EXPECT_EQ(browser->source().fragment(), "using-help");
    browser->close();  // deletes itself
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(help.Browser(), nullptr);
}

TEST(MessageBox, ShowsTextTitleAndIconWithOnlyAnOkButtonOverItsOwner) {
    QWidget owner;
    owner.show();
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool owned = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        owned = box->parentWidget() == &owner;
        box->button(QMessageBox::Ok)->click();
    });
    // A box left open would hang the test; the guard closes it instead.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    guard.start(5000);
    ShowMessageBox(&owner, "Connection closed", "Quillterm", QMessageBox::Warning);
    EXPECT_TRUE(guard.isActive()) << "OK closed the box";
    EXPECT_EQ(text, "Connection closed");
    EXPECT_EQ(title, "Quillterm");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_TRUE(owned);
}

}  // namespace
}  // namespace quill
