// The Setup command of the main window: the dialog works on the settings in
// use, and colours and options take effect at once.
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QTimer>

#include "session_fixture.h"
#include "ui/dialogs/setup_dialog.h"
#include "ui/resources/command_ids.h"
#include "ui/terminal/terminal_view.h"

namespace quill {
namespace {

class WindowSetupTest : public test::SessionTest {
  protected:
    WindowSetupTest() {
        session.hooks.chooseColor = [](QWidget*, Rgb, const std::array<Rgb, kCustomColourCount>&) {
            return std::optional<Rgb>(Rgb{255, 0, 0});
        };
        session.hooks.messageBox = [](QWidget*, const QString&, const QString&, QMessageBox::Icon) {
        };
        hooks.window.setupDialog = [this](QWidget* owner, const SetupTarget& target) {
            seenTarget = {target.CellHeight, target.setupFontHeight};
            RunSetupDialog(session, target, owner);
        };
        app = std::make_unique<Application>(store, hooks);
    }

    // Opens Setup from the window and lets `inDialog` act on it; a dialog that
    // stays open is closed by a guard so the test cannot hang.
    void RunSetup(const std::function<void(TemplateDialog&)>& inDialog) {
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<TemplateDialog*>(QApplication::activeModalWidget())) {
                inDialog(*d);
            }
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (auto* d = qobject_cast<TemplateDialog*>(QApplication::activeModalWidget())) {
                d->EndDialog(0);
            }
        });
        guard.start(5000);
        Window().OnCommand(CommandId::kSetupDialog);
    }

    int RedPixels() {
        const QImage image = Window().View().grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == qRgb(255, 0, 0);
        }
        return count;
    }

    SetupSession session;
    std::pair<int, int> seenTarget{0, 0};
};

TEST_F(WindowSetupTest, TextColourShowsAtOnceAndTheOptionsApply) {
    Connect();
    EXPECT_EQ(RedPixels(), 0);
    RunSetup([](TemplateDialog& d) {
        d.SendCommand(SetupControl::kTextColor);
        d.ControlAs<QCheckBox>(SetupControl::kWrap)->click();
        d.ControlAs<QCheckBox>(SetupControl::kLocalEcho)->click();
        d.SendCommand(SetupControl::kOk);
    });

    EXPECT_GT(seenTarget.first, 0);
    EXPECT_EQ(seenTarget.second, Window().SetupFontHeight());
    EXPECT_EQ(app->Settings().fgcolor, (Rgb{255, 0, 0}));
    EXPECT_EQ(backend.Values().at({"settings", "fgcolor"}), "255,0,0");
    EXPECT_TRUE(app->Settings().options.Wrap());
    EXPECT_TRUE(app->Settings().options.LocalEcho());
    EXPECT_GT(RedPixels(), 0);
}

TEST_F(WindowSetupTest, CancelLeavesTheWindowAsItWas) {
    Connect();
    RunSetup([](TemplateDialog& d) {
        d.SendCommand(SetupControl::kTextColor);
        d.ControlAs<QCheckBox>(SetupControl::kWrap)->click();
        d.SendCommand(SetupControl::kCancel);
    });
    EXPECT_EQ(app->Settings().fgcolor, kBlack);
    EXPECT_FALSE(app->Settings().options.Wrap());
    EXPECT_EQ(backend.Values().count({"settings", "fgcolor"}), 0u);
    EXPECT_EQ(RedPixels(), 0);
}

}  // namespace
}  // namespace quill
