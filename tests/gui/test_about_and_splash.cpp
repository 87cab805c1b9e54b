// The About box and the splash window: what they show, how they close, and
// where the splash sits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "core/version.h"
#include "session_fixture.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/splash_window.h"
#include "ui/resources/command_ids.h"

namespace quill {
namespace {

QStringList LabelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) texts << label->text();
    }
    return texts;
}

const QString kVersion = QString::fromLatin1(kProgramVersion.data(), kProgramVersion.size());

TEST(AboutBox, ShowsTheProgramsVersion) {
    TemplateDialog about(AboutTemplate(), nullptr, AboutHandlers());
    about.SetItemText(AboutControl::kVersion, "stale");
    about.Initialise();
    EXPECT_EQ(about.ItemText(AboutControl::kVersion), kProgramVersion);
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_TRUE(LabelTexts(about).contains("Quillterm32"));
}

TEST(AboutBox, OnlyOkClosesIt) {
    TemplateDialog about(AboutTemplate(), nullptr, AboutHandlers());
    about.Initialise();
    about.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&about, &escape);
    EXPECT_TRUE(about.isVisible());
    about.close();  // the close box
    EXPECT_TRUE(about.isVisible());
    about.SendCommand(kStandardCancel);
    EXPECT_TRUE(about.isVisible());
    about.ControlAs<QPushButton>(AboutControl::kOk)->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), 1);
}

TEST(AboutBox, RunsModallyOverItsOwnerUntilOk) {
    QWidget owner;
    owner.show();
    QString shownVersion;
    bool ownerBlocked = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<TemplateDialog*>(QApplication::activeModalWidget());
        if (!about) return;
        shownVersion = QString::fromStdString(about->ItemText(AboutControl::kVersion));
        ownerBlocked = about->parentWidget() == &owner && about->isModal();
        about->SendCommand(kStandardCancel);  // Escape: still open
        about->SendCommand(AboutControl::kOk);
    });
    // A box that stayed open would hang here; the guard ends the loop instead.
    QTimer guard;
    guard.setSingleShot(true);
    bool guardFired = false;
    QObject::connect(&guard, &QTimer::timeout, [&guardFired] {
        guardFired = true;
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) modal->done(0);
    });
    guard.start(5000);
    RunAboutDialog(&owner);
    EXPECT_FALSE(guardFired);
    EXPECT_EQ(shownVersion, kVersion);
    EXPECT_TRUE(ownerBlocked);
}

TEST(SplashWindow, IsCentredOnTheScreenNotOnItsOwner) {
    QWidget owner;
    owner.setGeometry(5, 5, 200, 100);
    owner.show();
    const QPointer<TemplateDialog> splash = CreateSplashWindow(&owner);
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = splash->frameGeometry();
    EXPECT_EQ(frame.x(), (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.y(), (screen.height() - frame.height()) / 2);
    EXPECT_EQ(splash->size(), splash->ToPixels(SplashTemplate().rect).size());
    delete splash;
}

TEST(SplashWindow, ShowsNameAndVersionWithoutCaptionAndLeavesTheKeyboardAlone) {
    QWidget owner;
    const QPointer<TemplateDialog> splash = CreateSplashWindow(&owner);
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(splash->isModal());
    const QStringList texts = LabelTexts(*splash);
    EXPECT_TRUE(texts.contains("Quillterm32"));
    EXPECT_TRUE(texts.contains(kVersion));
    EXPECT_EQ(splash->parentWidget(), &owner);
    delete splash;
}

// The program with its real splash window.
class SplashSessionTest : public test::SessionTest {
  protected:
    SplashSessionTest() {
        hooks.window.createSplash = [](QWidget* owner) -> QWidget* {
            return CreateSplashWindow(owner);
        };
        app = std::make_unique<Application>(store, hooks);
    }
    void Tick() { Window().OnTimer(); }
};

TEST_F(SplashSessionTest, ShownFromWindowCreationUntilTheFourthTick) {
    Connect();
    const QPointer<QWidget> splash = Window().SplashWindow();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->parentWidget(), &Window());
    for (int i = 0; i < 3; ++i) Tick();
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(Window().StartupTimerRunning());
    Tick();
    EXPECT_TRUE(splash.isNull()) << "gone at the fourth tick itself";
    EXPECT_FALSE(Window().StartupTimerRunning()) << "an idle window wakes for nothing";
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(SplashSessionTest, DestroyingTheWindowBeforeTheFourthTickTakesTheSplashAlong) {
    Connect();
    const QPointer<QWidget> splash = Window().SplashWindow();
    ASSERT_NE(splash, nullptr);
    Tick();
    Window().OnCommand(CommandId::kExit);
    EXPECT_TRUE(splash.isNull());
}

}  // namespace
}  // namespace quill
