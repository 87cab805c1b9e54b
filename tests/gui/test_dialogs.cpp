// The Connect and host-list dialogs against an in-memory settings store, and
// the start of a new program instance.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "core/settings/host_history.h"
#include "core/settings/memory_settings_backend.h"
#include "scripted_server.h"
#include "ui/app/launch_instance.h"
#include "ui/dialogs/connect_dialog.h"
#include "ui/dialogs/host_list_dialog.h"
#include "ui/resources/dialog_font.h"

namespace quill {
namespace {

using Hosts = std::vector<std::string>;

class HostDialogTest : public ::testing::Test {
  protected:
    // Fills host1.. with the given texts ("" leaves a slot empty but present).
    void SetHistory(const Hosts& hosts) {
        for (std::size_t i = 0; i < hosts.size(); ++i) {
            store_.WriteSetting("hosts", HostKey(static_cast<int>(i) + 1), hosts[i]);
        }
        backend_.writeCount = 0;
    }

    // The ten slots as stored; a missing key reads as "(missing)".
    Hosts History() {
        Hosts hosts;
        for (int n = 1; n <= kHostHistorySize; ++n) {
            std::string text;
            if (store_.ReadSetting("hosts", HostKey(n), "", text, kHostBufferSize) == 0) {
                text = "(missing)";
            }
            hosts.push_back(text);
        }
        return hosts;
    }

    static Hosts Padded(Hosts hosts) {
        hosts.resize(kHostHistorySize);
        return hosts;
    }

    // Runs the dialog's modal loop, doing `steps` once it is shown; returns
    // its result. A dialog still open after five seconds is ended with -2.
    static int RunWith(TemplateDialog& dialog, const std::function<void()>& run,
                       const std::function<void()>& steps) {
        QTimer::singleShot(0, &dialog, steps);
        QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-2); });
        run();
        return dialog.result();
    }

    static void Key(QWidget* target, int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }

    MemorySettingsBackend backend_;
    SettingsStore store_{backend_};
    ConnectionTarget target_;
};

// ---- Connect ------------------------------------------------------------

class ConnectDialogTest : public HostDialogTest {
  protected:
    // Opens the dialog, lets `edit` change it, presses OK; returns the result.
    int Ok(const std::function<void(TemplateDialog&)>& edit) {
        ConnectDialog connect(nullptr, store_, target_);
        edit(connect.Dialog());
        connect.Dialog().SendCommand(ConnectControl::kOk);
        return connect.Dialog().result();
    }
    static QComboBox* Combo(TemplateDialog& d) {
        return d.ControlAs<QComboBox>(ConnectControl::kHost);
    }
};

TEST_F(ConnectDialogTest, OpensEmptyWithPort23AndTheArialFontOnTheHostOnly) {
    ConnectDialog connect(nullptr, store_, target_);
    TemplateDialog& d = connect.Dialog();
    EXPECT_EQ(Combo(d)->count(), 0);
    EXPECT_EQ(d.ItemText(ConnectControl::kHost), "");
    EXPECT_EQ(d.ItemText(ConnectControl::kPort), "23");
    EXPECT_EQ(Combo(d)->font().family(), "Arial");
    EXPECT_EQ(Combo(d)->font().pixelSize(), 12);
    EXPECT_NE(d.Control(ConnectControl::kPort)->font(), HostControlFont());
    EXPECT_EQ(d.Control(ConnectControl::kPort)->font(), d.font());
    EXPECT_EQ(d.Control(ConnectControl::kOk)->font(), d.font());
    EXPECT_EQ(backend_.writeCount, 0u) << "opening writes nothing";
}

TEST_F(ConnectDialogTest, FirstHostFillsAllTenSlots) {
    EXPECT_EQ(Ok([](TemplateDialog& d) { d.SetItemText(ConnectControl::kHost, "myhost"); }), 1);
    EXPECT_EQ(target_.HostName, "myhost");
    EXPECT_EQ(target_.PortNumber, 23);
    EXPECT_EQ(History(), Padded({"myhost"}));
}

TEST_F(ConnectDialogTest, OpensWithTheMostRecentHostAndListsTheRestInOrder) {
    SetHistory({"alpha", "", "gamma"});
    ConnectDialog connect(nullptr, store_, target_);
    TemplateDialog& d = connect.Dialog();
    EXPECT_EQ(d.ItemText(ConnectControl::kHost), "alpha");
    ASSERT_EQ(Combo(d)->count(), 2) << "the empty slot is skipped";
    EXPECT_EQ(Combo(d)->itemText(0), "alpha");
    EXPECT_EQ(Combo(d)->itemText(1), "gamma");
}

// The history's rules are the core's; here only that the dialog saves the
// chosen host with the list it showed.
TEST_F(ConnectDialogTest, PickingAListedHostMovesItToTheFront) {
    SetHistory({"alpha", "", "beta", "gamma"});
    Ok([](TemplateDialog& d) { Combo(d)->setCurrentIndex(2); });
    EXPECT_EQ(target_.HostName, "gamma");
    EXPECT_EQ(History(), Padded({"gamma", "alpha", "beta"}));
}

TEST_F(ConnectDialogTest, PortIsTheDecimalValueOfTheField) {
    // The conversion itself is the settings store's; here only that the field goes through it.
    const std::vector<std::pair<std::string, int>> cases{{"99abc", 99}, {"", 0}};
    for (const auto& field : cases) {
        Ok([&](TemplateDialog& d) {
            d.SetItemText(ConnectControl::kHost, "h");
            d.SetItemText(ConnectControl::kPort, field.first);
        });
        EXPECT_EQ(target_.PortNumber, field.second) << field.first;
    }
}

TEST_F(ConnectDialogTest, NothingIsValidatedAnEmptyHostIsAccepted) {
    EXPECT_EQ(Ok([](TemplateDialog&) {}), 1);
    EXPECT_EQ(target_.HostName, "");
    EXPECT_EQ(History(), Padded({""}));
}

TEST_F(ConnectDialogTest, LongHostIsCutTo79ForTheTargetAnd99ForTheHistory) {
    const std::string longHost(120, 'x');
    Ok([&](TemplateDialog& d) { d.SetItemText(ConnectControl::kHost, longHost); });
    EXPECT_EQ(target_.HostName, std::string(79, 'x'));
    EXPECT_EQ(History()[0], std::string(99, 'x'));
}

TEST_F(ConnectDialogTest, BracketsComeOffAnIpv6AddressOnly) {
    Ok([](TemplateDialog& d) { d.SetItemText(ConnectControl::kHost, "[2001:db8::5]"); });
    EXPECT_EQ(target_.HostName, "2001:db8::5");
    EXPECT_EQ(History()[0], "2001:db8::5");
    Ok([](TemplateDialog& d) { d.SetItemText(ConnectControl::kHost, "[name]"); });
    EXPECT_EQ(target_.HostName, "[name]");
    EXPECT_EQ(History(), Padded({"[name]", "2001:db8::5"}));
}

TEST_F(ConnectDialogTest, ALinkOrAPortInTheHostFieldSaysHowAndIsKeptThatWay) {
    Ok([](TemplateDialog& d) { d.SetItemText(ConnectControl::kHost, "telnets://bbs.example"); });
    EXPECT_EQ(target_.HostName, "bbs.example");
    EXPECT_EQ(target_.PortNumber, 992);
    EXPECT_TRUE(target_.Tls);
    target_ = {};  // each run of the program opens the dialog once, without --tls here
    Ok([](TemplateDialog& d) {
        d.SetItemText(ConnectControl::kHost, "h");
        d.SetItemText(ConnectControl::kPort, "2323");
    });
    EXPECT_FALSE(target_.Tls);
    EXPECT_EQ(History(), Padded({"h:2323", "telnets://bbs.example:992"}));
    // Picking the entries again connects as before, whatever the port field says.
    Ok([](TemplateDialog& d) { Combo(d)->setCurrentIndex(1); });
    EXPECT_TRUE(target_.Tls);
    EXPECT_EQ(target_.PortNumber, 992);
    target_ = {};
    Ok([](TemplateDialog& d) { Combo(d)->setCurrentIndex(1); });
    EXPECT_FALSE(target_.Tls);
    EXPECT_EQ(target_.HostName, "h");
    EXPECT_EQ(target_.PortNumber, 2323);
}

TEST_F(ConnectDialogTest, OpensWithTheTlsPortWhenAskedForTls) {
    target_.Tls = true;
    Ok([](TemplateDialog& d) {
        EXPECT_EQ(d.ItemText(ConnectControl::kPort), "992");
        d.SetItemText(ConnectControl::kHost, "h");
    });
    EXPECT_TRUE(target_.Tls);
    EXPECT_EQ(target_.PortNumber, 992);
    EXPECT_EQ(History()[0], "telnets://h:992");
}

TEST_F(ConnectDialogTest, CancelChangesNothing) {
    SetHistory({"alpha"});
    target_.HostName = "before";
    ConnectDialog connect(nullptr, store_, target_);
    connect.Dialog().SetItemText(ConnectControl::kHost, "typed");
    connect.Dialog().SendCommand(ConnectControl::kCancel);
    EXPECT_EQ(connect.Dialog().result(), 0);
    EXPECT_EQ(target_.HostName, "before");
    EXPECT_EQ(backend_.writeCount, 0u);
}

TEST_F(ConnectDialogTest, EscapeLeavesItOpenAndEnterIsOk) {
    SetHistory({"alpha"});
    ConnectDialog connect(nullptr, store_, target_);
    TemplateDialog& d = connect.Dialog();
    bool openAfterEscape = false;
    const int result = RunWith(
        d, [&] { connect.Run(); },
        [&] {
            QWidget* field = Combo(d)->lineEdit();
            Key(field, Qt::Key_Escape);
            d.close();
            openAfterEscape = d.isVisible();
            Combo(d)->lineEdit()->setText("typed");
            Key(field, Qt::Key_Return);
        });
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(target_.HostName, "typed");
    EXPECT_EQ(Combo(d)->count(), 1) << "Enter does not add to the list";
    EXPECT_EQ(History(), Padded({"typed", "alpha"}));
}

TEST_F(ConnectDialogTest, HostFieldHasTheFocusWhenShown) {
    ConnectDialog connect(nullptr, store_, target_);
    TemplateDialog& d = connect.Dialog();
    bool focused = false;
    RunWith(
        d, [&] { connect.Run(); },
        [&] {
            focused = d.focusWidget() == Combo(d) || d.focusWidget() == Combo(d)->lineEdit();
            d.SendCommand(ConnectControl::kCancel);
        });
    EXPECT_TRUE(focused);
}

TEST_F(ConnectDialogTest, RunConnectDialogReturnsTheDialogResult) {
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<TemplateDialog*>(w); d && d->isVisible()) {
                d->SetItemText(ConnectControl::kHost, "viaRun");
                d->SendCommand(ConnectControl::kOk);
            }
        }
    });
    EXPECT_TRUE(RunConnectDialog(nullptr, store_, target_));
    EXPECT_EQ(target_.HostName, "viaRun");
}

// ---- host list ------------------------------------------------------------

class HostListDialogTest : public HostDialogTest {
  protected:
    static QListWidget* List(TemplateDialog& d) {
        return d.ControlAs<QListWidget>(ListHostsControl::kHostList);
    }
};

TEST_F(HostListDialogTest, ListsTheHistoryWithNothingSelected) {
    SetHistory({"alpha", "", "gamma", "delta"});
    HostListDialog hosts(nullptr, store_);
    QListWidget* list = List(hosts.Dialog());
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "alpha");
    EXPECT_EQ(list->item(2)->text(), "delta");
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(list->font().family(), "Arial");
    EXPECT_EQ(hosts.Dialog().Control(ListHostsControl::kOk)->font(), hosts.Dialog().font());
}

TEST_F(HostListDialogTest, OkGivesTheSelectedEntryOrEmptyText) {
    SetHistory({"alpha", "beta"});
    HostListDialog none(nullptr, store_);
    none.Dialog().SendCommand(ListHostsControl::kOk);
    EXPECT_EQ(none.Dialog().result(), 1);
    EXPECT_EQ(none.Selection(), "");

    HostListDialog picked(nullptr, store_);
    List(picked.Dialog())->setCurrentRow(1);
    picked.Dialog().SendCommand(ListHostsControl::kOk);
    EXPECT_EQ(picked.Selection(), "beta");
    EXPECT_EQ(backend_.writeCount, 0u) << "choosing does not change the history";
}

// A left click at the centre of a widget, or of a rectangle inside it.
void Click(QWidget* target, QRect area = {}) {
    const QPointF at = (area.isNull() ? target->rect() : area).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

TEST_F(HostListDialogTest, WorkedWithTheKeyboardWhileTheMouseIsHeld) {
    SetHistory({"alpha", "beta", "gamma"});
    HostListDialog hosts(nullptr, store_);
    TemplateDialog& d = hosts.Dialog();
    QListWidget* list = List(d);
    bool clickSelected = true;
    bool focusStayed = false;
    bool openAfterClicks = false;
    bool openAfterEscape = false;
    const int result = RunWith(
        d, [&] { hosts.Run(); },
        [&] {
            // Focus follows clicks only in the active window.
            d.activateWindow();
            test::PumpUntil([&] { return d.isActiveWindow(); }, 1000);
            Click(list->viewport(), list->visualItemRect(list->item(2)));
            clickSelected = !list->selectedItems().isEmpty();
            // As the window system delivers it: Qt moves the focus only for such clicks.
            QTest::mouseClick(d.Control(ListHostsControl::kCancel), Qt::LeftButton);
            focusStayed = d.focusWidget() == list;
            Click(d.Control(ListHostsControl::kOk));
            emit list->itemDoubleClicked(list->item(0));
            openAfterClicks = d.isVisible();
            Key(list, Qt::Key_Escape);
            openAfterEscape = d.isVisible();
            list->setCurrentRow(0);
            Key(list, Qt::Key_Down);
            Key(list, Qt::Key_Return);
        });
    EXPECT_FALSE(clickSelected) << "the mouse goes to the dialog, not the list";
    EXPECT_TRUE(openAfterClicks) << "nor to the buttons";
    EXPECT_TRUE(focusStayed) << "a click moved the keyboard focus";
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(hosts.Selection(), "beta");
    // Closed, the dialog no longer holds the mouse.
    list->clearSelection();
    Click(list->viewport(), list->visualItemRect(list->item(2)));
    EXPECT_EQ(list->currentRow(), 2);
}

TEST_F(HostListDialogTest, ChooseListedHostLeavesTheBufferAloneOnCancel) {
    SetHistory({"alpha", "beta"});
    auto answer = [](ListHostsControl command, int row) {
        QTimer::singleShot(0, [=] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* d = qobject_cast<TemplateDialog*>(w);
                if (!d || !d->isVisible()) continue;
                d->ControlAs<QListWidget>(ListHostsControl::kHostList)->setCurrentRow(row);
                d->SendCommand(command);
            }
        });
    };
    std::string host = "untouched";
    answer(ListHostsControl::kCancel, 1);
    EXPECT_FALSE(ChooseListedHost(nullptr, store_, host));
    EXPECT_EQ(host, "untouched");
    answer(ListHostsControl::kOk, 1);
    EXPECT_TRUE(ChooseListedHost(nullptr, store_, host));
    EXPECT_EQ(host, "beta");
}

// ---- new instances --------------------------------------------------------

// A stand-in program that writes its argument count and arguments to a file.
class LaunchTest : public ::testing::Test {
  protected:
    LaunchTest() {
        program_ = dir_.filePath("fake-quillterm");
        QFile script(program_);
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$0.args\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // What the started program was given, one line per item; waits up to 5 s.
    QStringList Received() {
        QFile args(program_ + ".args");
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            if (args.open(QIODevice::ReadOnly)) {
                const QString text = QString::fromUtf8(args.readAll());
                if (text.endsWith('\n')) return text.split('\n', Qt::SkipEmptyParts);
                args.close();
            }
            QThread::msleep(20);
        }
        return {"(not started)"};
    }

    QTemporaryDir dir_;
    QString program_;
};

TEST_F(LaunchTest, HostIsTheOnlyArgumentAndNeverReachesAShell) {
    const QString marker = dir_.filePath("ran");
    const std::string host = "evil; touch " + marker.toStdString() + " $(id) `id` \"q\"";
    EXPECT_TRUE(LaunchInstance(host, program_));
    EXPECT_EQ(Received(), (QStringList{"1", QString::fromStdString(host)}));
    EXPECT_FALSE(QFile::exists(marker));
}

TEST_F(LaunchTest, EmptyHostStartsWithoutArguments) {
    EXPECT_TRUE(LaunchInstance("", program_));
    EXPECT_EQ(Received(), (QStringList{"0"}));
}

TEST_F(LaunchTest, AMissingProgramIsReportedNotThrown) {
    EXPECT_FALSE(LaunchInstance("host", dir_.filePath("no-such-program")));
}

}  // namespace
}  // namespace quill
