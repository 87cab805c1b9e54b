#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/settings/settings_store.h"
#include "core/settings/terminal_settings.h"
#include "ui/dialogs/text_example.h"
#include "ui/resources/control_ids.h"
#include "ui/resources/message_box.h"
#include "ui/resources/template_dialog.h"

namespace quill {

// The longest face name a font choice keeps.
inline constexpr std::size_t kPendingFaceLength = 31;
inline constexpr int kCustomColourCount = 16;

// A face and a height as the font dialog reports them: a negative height is
// the character height, a positive one the cell height.
struct FontChoice {
    std::string face;
    int height = 0;  // 0: no choice
};

// The platform seams of the Setup dialog. The defaults ask the user; tests
// replace them to make the choices and to record what would be shown.
struct SetupHooks {
    // The font dialog, fixed-pitch fonts only, starting from the face and height.
    std::function<std::optional<FontChoice>(QWidget* owner, const std::string& face, int height)>
        chooseFont;
    // The colour dialog, starting from initial, with these custom colours.
    std::function<std::optional<Rgb>(QWidget* owner, Rgb initial,
                                     const std::array<Rgb, kCustomColourCount>& custom)>
        chooseColor;
    // A message box with an OK button.
    MessageBoxFunction messageBox;
};

SetupHooks DefaultSetupHooks();

// What the Setup dialog works on: the settings and options in use, and the
// main window.
struct SetupTarget {
    TerminalSettings& settings;
    SettingsStore& store;
    // The terminal's cell height, and the height the font choice starts from.
    int CellHeight = 0;
    int setupFontHeight = 0;
    // Repaints the main window in the new colours.
    std::function<void()> repaintMainWindow;
};

// What outlives the dialog: kept for the program's whole run, so a font chosen
// in a cancelled dialog is still pending at the next OK.
struct SetupSession {
    SetupHooks hooks = DefaultSetupHooks();
    // Chosen in the font dialog and not saved yet.
    FontChoice pendingFont;
};

// The SETUP dialog with its preview, built from the template.
class SetupDialog {
  public:
    SetupDialog(SetupSession& session, const SetupTarget& target, QWidget* owner);
    ~SetupDialog();
    SetupDialog(const SetupDialog&) = delete;
    SetupDialog& operator=(const SetupDialog&) = delete;

    TemplateDialog& Dialog() { return *dialog_; }
    TextExample& Preview();
    const WorkingColours& Working() const { return working_; }

    void OnInitDialog(TemplateDialog& dialog);
    void OnCommand(TemplateDialog& dialog, SetupControl id);

  private:
    void SelectFont(TemplateDialog& dialog);
    void ChooseColour(TemplateDialog& dialog, Rgb& colour);
    void Ok(TemplateDialog& dialog);

    SetupSession& session_;
    const SetupTarget& target_;
    WorkingColours working_;
    // Owned here unless its owner window goes first and takes it along.
    QPointer<TemplateDialog> dialog_;
};

// The Setup command: the dialog, modal over owner. True after OK.
bool RunSetupDialog(SetupSession& session, const SetupTarget& target, QWidget* owner);

}  // namespace quill
