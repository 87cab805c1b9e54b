// The Setup dialog: what it shows, what OK writes (what the user changed, in
// one write), what Cancel leaves alone, and the font choice that waits for
// the next OK.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QTimer>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ui/dialogs/setup_dialog.h"

namespace quill {
namespace {

// A store that logs every write, as one line, into the test's event log.
class LoggingBackend final : public SettingsBackend {
  public:
    explicit LoggingBackend(std::vector<std::string>& log) : log_(log) {}
    std::optional<std::string> ReadText(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool WriteTexts(const std::string& section, const std::vector<SettingEntry>& entries) override {
        std::string line = section + ":";
        for (const SettingEntry& e : entries) line += " " + e.key + "=" + e.text;
        log_.push_back(line);
        return true;
    }
    bool Update(const std::function<bool()>& change) override { return change(); }

  private:
    std::vector<std::string>& log_;
};

constexpr char kNote[] =
    "NOTE:\nFont changes do not take effect until the next time you start quillterm";

class SetupDialogTest : public ::testing::Test {
  protected:
    SetupDialogTest() {
        settings.options.SetWrap(true);
        settings.options.SetLocalEcho(true);
        settings.options.SetCRLFTranslation(true);
        settings.font = "DejaVu Sans Mono";
        session.hooks.chooseFont = [this](QWidget* owner, const std::string& face, int height) {
            EXPECT_EQ(owner, &Dialog());
            fontDialogStart = {face, height};
            std::optional<FontChoice> next = fontChoices.front();
            fontChoices.pop_front();
            return next;
        };
        session.hooks.chooseColor = [this](QWidget*, Rgb initial,
                                           const std::array<Rgb, kCustomColourCount>& custom) {
            colourDialogStart = initial;
            customColours = custom;
            return colourChoice;
        };
        session.hooks.messageBox = [this](QWidget* owner, const QString& text, const QString& title,
                                          QMessageBox::Icon) {
            EXPECT_EQ(owner, &Dialog());
            log.push_back("box " + title.toStdString() + ": " + text.toStdString());
        };
    }

    void Open() { setup = std::make_unique<SetupDialog>(session, target, nullptr); }
    TemplateDialog& Dialog() { return setup->Dialog(); }
    void Press(SetupControl id) { Dialog().SendCommand(id); }
    QCheckBox& Box(SetupControl id) { return *Dialog().ControlAs<QCheckBox>(id); }

    // Opens the dialog, presses the buttons and returns the dialog's result.
    int Run(const std::vector<SetupControl>& buttons) {
        Open();
        for (SetupControl id : buttons) Press(id);
        return Dialog().result();
    }

    std::vector<std::string> log;
    LoggingBackend backend{log};
    SettingsStore store{backend};
    TerminalSettings settings;
    SetupTarget target{settings, store, 16, 17, [this] { log.push_back("repaint"); }};
    SetupSession session;
    std::unique_ptr<SetupDialog> setup;

    std::deque<std::optional<FontChoice>> fontChoices;
    std::optional<FontChoice> fontDialogStart;
    std::optional<Rgb> colourChoice;
    Rgb colourDialogStart;
    std::array<Rgb, kCustomColourCount> customColours{};
};

// OK with nothing changed: the window is repainted, nothing is written.
const std::vector<std::string> kUnchangedOk{"repaint"};

TEST_F(SetupDialogTest, OpensWithTheTemplateAndTheBoxesOfTheSettings) {
    settings.options.SetWrap(false);  // the menu turned wrap off since start-up
    settings.MaximizeOnStart = true;
    settings.options.SetLocalEcho(false);
    Open();

    EXPECT_EQ(Dialog().windowTitle(), "Setup");
    EXPECT_FALSE(Box(SetupControl::kWrap).isChecked());
    EXPECT_TRUE(Box(SetupControl::kMaxOnStart).isChecked());
    EXPECT_FALSE(Box(SetupControl::kLocalEcho).isChecked());
    EXPECT_TRUE(Box(SetupControl::kCRLF).isChecked());
    EXPECT_EQ(Box(SetupControl::kVaxDelKey).text(), "Vax DEL key");
    EXPECT_FALSE(Box(SetupControl::kVaxDelKey).isChecked());
    EXPECT_FALSE(Box(SetupControl::kVaxDelKey).isEnabled());
    EXPECT_EQ(setup->Working().text, kBlack);
    EXPECT_EQ(setup->Working().background, kWhite);
    EXPECT_TRUE(log.empty());
}

TEST_F(SetupDialogTest, OkWritesNothingTheUserLeftAsItWas) {
    EXPECT_EQ(Run({SetupControl::kOk}), 1);
    EXPECT_EQ(log, kUnchangedOk);

    // A box clicked back and a colour chosen as it was are no change either.
    log.clear();
    colourChoice = kBlack;
    Open();
    Box(SetupControl::kWrap).click();
    Box(SetupControl::kWrap).click();
    Press(SetupControl::kTextColor);
    Press(SetupControl::kOk);
    EXPECT_EQ(log, kUnchangedOk);
}

TEST_F(SetupDialogTest, OkTakesTheBoxStatesIntoTheSettingsInUse) {
    Open();
    Box(SetupControl::kWrap).click();
    Box(SetupControl::kMaxOnStart).click();
    Box(SetupControl::kLocalEcho).click();
    // The vax box cannot be clicked and is never written.
    Box(SetupControl::kVaxDelKey).click();
    Press(SetupControl::kOk);

    EXPECT_FALSE(settings.options.Wrap());
    EXPECT_TRUE(settings.MaximizeOnStart);
    EXPECT_FALSE(settings.options.LocalEcho());
    EXPECT_TRUE(settings.options.CRLFTranslation());
    EXPECT_EQ(log, (std::vector<std::string>{"repaint",
                                             "settings: wrap=0 maximizeonstart=1 localecho=0"}));
}

TEST_F(SetupDialogTest, ColourChoicesAreWrittenAsDecimalTriples) {
    colourChoice = Rgb{255, 0, 0};
    Open();
    Press(SetupControl::kTextColor);
    colourChoice = Rgb{1, 2, 3};
    Press(SetupControl::kBackground);
    Press(SetupControl::kOk);

    EXPECT_EQ(settings.fgcolor, (Rgb{255, 0, 0}));
    EXPECT_EQ(settings.bgcolor, (Rgb{1, 2, 3}));
    EXPECT_EQ(log,
              (std::vector<std::string>{"repaint", "settings: fgcolor=255,0,0 bgcolor=1,2,3"}));
}

TEST_F(SetupDialogTest, ColourDialogStartsFromTheWorkingColourAsFirstCustomColour) {
    settings.bgcolor = Rgb{10, 20, 30};
    colourChoice = Rgb{40, 50, 60};
    Open();
    Press(SetupControl::kBackground);
    EXPECT_EQ(colourDialogStart, (Rgb{10, 20, 30}));
    EXPECT_EQ(customColours[0], (Rgb{10, 20, 30}));
    // The second choice starts from the first one; the others are white.
    Press(SetupControl::kBackground);
    EXPECT_EQ(colourDialogStart, (Rgb{40, 50, 60}));
    EXPECT_EQ(customColours[0], (Rgb{40, 50, 60}));
    for (int i = 1; i < kCustomColourCount; ++i) EXPECT_EQ(customColours[i], kWhite) << i;
    EXPECT_EQ(setup->Working().background, (Rgb{40, 50, 60}));
    // Only OK makes the working colour the setting.
    EXPECT_EQ(settings.bgcolor, (Rgb{10, 20, 30}));
}

TEST_F(SetupDialogTest, CancelledColourDialogChangesNothing) {
    colourChoice = std::nullopt;
    Open();
    Press(SetupControl::kTextColor);
    Press(SetupControl::kOk);
    EXPECT_EQ(log, kUnchangedOk);
}

TEST_F(SetupDialogTest, CancelWritesNothingAndKeepsTheSettings) {
    colourChoice = Rgb{255, 0, 0};
    Open();
    Press(SetupControl::kTextColor);
    Press(SetupControl::kBackground);
    Box(SetupControl::kWrap).click();
    Box(SetupControl::kCRLF).click();
    Press(SetupControl::kCancel);

    EXPECT_EQ(Dialog().result(), 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(settings.fgcolor, kBlack);
    EXPECT_EQ(settings.bgcolor, kWhite);
    EXPECT_TRUE(settings.options.Wrap());
    EXPECT_TRUE(settings.options.CRLFTranslation());
}

TEST_F(SetupDialogTest, EscapeAndTheCloseBoxLeaveTheDialogOpen) {
    Open();
    Dialog().show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&Dialog(), &escape);
    EXPECT_TRUE(Dialog().isVisible());
    Dialog().close();
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_TRUE(log.empty());
    Press(SetupControl::kOk);
    EXPECT_FALSE(Dialog().isVisible());
}

TEST_F(SetupDialogTest, FontDialogStartsFromTheSetupHeightAndTheFontFace) {
    settings.font = std::string(40, 'f');
    fontChoices = {std::nullopt};
    Run({SetupControl::kSelectFont});
    ASSERT_TRUE(fontDialogStart.has_value());
    EXPECT_EQ(fontDialogStart->face, std::string(31, 'f'));
    EXPECT_EQ(fontDialogStart->height, 17);
}

// The real font dialog: it lists families and point sizes, and the default
// face is an alias of a family of another name.
TEST(FontDialog, StartsFromTheFamilyInUseAtTheTerminalsHeight) {
    const QFontInfo inUse(MakeFixedPitchFont("Courier New", 17));
    QFont shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        shown = dialog->currentFont();
        dialog->reject();
    });
    EXPECT_FALSE(DefaultSetupHooks().chooseFont(nullptr, "Courier New", 17).has_value());
    EXPECT_EQ(shown.family(), inUse.family());
    EXPECT_TRUE(QFontDatabase::isFixedPitch(shown.family()));
    EXPECT_EQ(QFontInfo(shown).pixelSize(), inUse.pixelSize());
    EXPECT_EQ(QFontInfo(shown).style(), QFont::StyleNormal);
}

TEST_F(SetupDialogTest, FontChosenBeforeCancelIsSavedByTheNextOkWithTheNote) {
    fontChoices = {FontChoice{"Liberation Mono", -20}};
    EXPECT_EQ(Run({SetupControl::kSelectFont, SetupControl::kCancel}), 0);
    EXPECT_TRUE(log.empty());

    EXPECT_EQ(Run({SetupControl::kOk}), 1);
    EXPECT_EQ(log,
              (std::vector<std::string>{"repaint", "settings: font=Liberation Mono fontsize=-20",
                                        std::string("box NOTE: ") + kNote}));
    // The font in use keeps its start-up values.
    EXPECT_EQ(settings.font, "DejaVu Sans Mono");
    EXPECT_EQ(settings.fontsize, kDefaultFontSize);

    // Saved once: the next OK writes no font and shows no note.
    log.clear();
    Run({SetupControl::kOk});
    EXPECT_EQ(log, kUnchangedOk);
}

TEST_F(SetupDialogTest, OfTwoFontChoicesOnlyTheSecondIsSaved) {
    fontChoices = {FontChoice{"Liberation Mono", -30}, FontChoice{"DejaVu Sans Mono", 14}};
    Run({SetupControl::kSelectFont, SetupControl::kSelectFont, SetupControl::kOk});
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], "settings: font=DejaVu Sans Mono fontsize=14");
}

TEST_F(SetupDialogTest, CancelledFontDialogLeavesAnEarlierChoicePending) {
    fontChoices = {FontChoice{"Liberation Mono", -30}, std::nullopt};
    Run({SetupControl::kSelectFont, SetupControl::kSelectFont, SetupControl::kOk});
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], "settings: font=Liberation Mono fontsize=-30");
}

TEST_F(SetupDialogTest, LongFaceNamesAreCutToThirtyOneCharacters) {
    fontChoices = {FontChoice{std::string(40, 'g'), -12}};
    Run({SetupControl::kSelectFont, SetupControl::kOk});
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], "settings: font=" + std::string(31, 'g') + " fontsize=-12");
}

TEST_F(SetupDialogTest, FontChoiceGoesToThePreviewAtOnce) {
    fontChoices = {FontChoice{"DejaVu Sans Mono", -25}};
    Open();
    const QFont before = setup->Preview().PreviewFont();
    Press(SetupControl::kSelectFont);
    EXPECT_EQ(setup->Preview().PreviewFont().pixelSize(), 25);
    EXPECT_NE(before.pixelSize(), 25);
}

}  // namespace
}  // namespace quill
