#include "ui/dialogs/setup_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <string>

#include "ui/resources/command_ids.h"
#include "ui/resources/message_box.h"

namespace quill {

namespace {

constexpr const char* kFontNote =
    "NOTE:\nFont changes do not take effect until the next time you start quillterm";

std::optional<FontChoice> ShowFontDialog(QWidget* owner, const std::string& face, int height) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, *MakeFixedPitchFont(face, height), owner,
                                              QString(), QFontDialog::MonospacedFonts);
    if (!ok) return std::nullopt;
    // The character height, as the terminal's font heights are given.
    return FontChoice{chosen.family().toStdString(), -QFontInfo(chosen).pixelSize()};
}

std::optional<Rgb> ShowColourDialog(QWidget* owner, Rgb initial,
                                    const std::array<Rgb, kCustomColourCount>& custom) {
    for (int i = 0; i < kCustomColourCount; ++i)
        QColorDialog::setCustomColor(i, ToQColor(custom[i]));
    const QColor chosen = QColorDialog::getColor(ToQColor(initial), owner);
    if (!chosen.isValid()) return std::nullopt;
    return ToRgb(chosen);
}

QCheckBox* CheckBox(TemplateDialog& dialog, int id) {
    return dialog.ControlAs<QCheckBox>(id);
}

}  // namespace

SetupHooks DefaultSetupHooks() {
    return SetupHooks{ShowFontDialog, ShowColourDialog, ShowMessageBox};
}

SetupDialog::SetupDialog(SetupSession& session, const SetupTarget& target, QWidget* owner)
    : session_(session),
      target_(target),
      working_{target.settings.fgcolor, target.settings.bgcolor} {
    const auto procedure = [this](TemplateDialog& dialog, DialogMessage message, int id) {
        return SetupDlgProc(dialog, message, id);
    };
    const auto controls = [this](std::string_view className, QWidget* parent) -> QWidget* {
        if (className != kTextExampleClass) return nullptr;
        return new TextExample(working_, target_.settings.font, target_.CellHeight, parent);
    };
    dialog_ = new TemplateDialog(SetupTemplate(), owner, procedure, controls);
    dialog_->Initialise();
}

SetupDialog::~SetupDialog() {
    delete dialog_;
}

TextExample& SetupDialog::Preview() {
    return *dialog_->ControlAs<TextExample>(setup::kPreview);
}

bool SetupDialog::SetupDlgProc(TemplateDialog& dialog, DialogMessage message, int id) {
    if (message == DialogMessage::InitDialog) {
        InitDialog(dialog);
        return false;
    }
    switch (id) {
        case setup::kSelectFont:
            SelectFont(dialog);
            break;
        case setup::kTextColor:
            ChooseColour(dialog, working_.text);
            break;
        case setup::kBackground:
            ChooseColour(dialog, working_.background);
            break;
        case cmd::kDialogOk:
            Ok(dialog);
            break;
        case cmd::kDialogCancel:
            dialog.EndDialog(0);
            break;
        default:
            // The check boxes' own clicks, and Escape and the close box: the
            // dialog stays as it is.
            break;
    }
    return true;
}

void SetupDialog::InitDialog(TemplateDialog& dialog) {
    const TerminalSettings& s = target_.settings;
    working_ = WorkingColours{s.fgcolor, s.bgcolor};
    CheckBox(dialog, setup::kWrap)->setChecked(target_.wrap);
    CheckBox(dialog, setup::kMaxOnStart)->setChecked(s.MaximizeOnStart);
    CheckBox(dialog, setup::kLocalEcho)->setChecked(s.LocalEcho);
    CheckBox(dialog, setup::kCRLF)->setChecked(s.CRLFTranslation);
}

void SetupDialog::SelectFont(TemplateDialog& dialog) {
    const std::string face = target_.settings.font.substr(0, kPendingFaceLength);
    const auto choice = session_.hooks.chooseFont(&dialog, face, target_.setupFontHeight);
    if (!choice) return;
    // Only the face and the height of the choice count, not its style.
    session_.pendingFont = FontChoice{choice->face.substr(0, kPendingFaceLength), choice->height};
    Preview().SetPreviewFont(
        MakeFixedPitchFont(session_.pendingFont.face, session_.pendingFont.height));
}

void SetupDialog::ChooseColour(TemplateDialog& dialog, Rgb& colour) {
    std::array<Rgb, kCustomColourCount> custom;
    custom.fill(kWhite);
    custom[0] = colour;
    const auto chosen = session_.hooks.chooseColor(&dialog, colour, custom);
    if (!chosen) return;
    colour = *chosen;
    Preview().update();
}

void SetupDialog::Ok(TemplateDialog& dialog) {
    TerminalSettings& s = target_.settings;
    s.fgcolor = working_.text;
    s.bgcolor = working_.background;
    WriteColourSetting(target_.store, kFgColorKey, s.fgcolor);
    WriteColourSetting(target_.store, kBgColorKey, s.bgcolor);
    if (target_.repaintMainWindow) target_.repaintMainWindow();

    SaveFlag(dialog, setup::kWrap, kWrapKey, target_.wrap);
    s.wrap = target_.wrap;
    SaveFlag(dialog, setup::kMaxOnStart, "maximizeOnStart", s.MaximizeOnStart);
    SaveFlag(dialog, setup::kLocalEcho, kLocalEchoKey, s.LocalEcho);
    SaveFlag(dialog, setup::kCRLF, kCRLFTranslationKey, s.CRLFTranslation);

    FontChoice& pending = session_.pendingFont;
    if (pending.height != 0) {
        target_.store.WriteSetting(kSettingsSection, kFontKey, pending.face);
        target_.store.WriteSetting(kSettingsSection, kFontSizeKey, std::to_string(pending.height));
        pending.height = 0;
        session_.hooks.messageBox(&dialog, kFontNote, QStringLiteral("NOTE"), QMessageBox::NoIcon);
    }
    dialog.EndDialog(1);
}

void SetupDialog::SaveFlag(TemplateDialog& dialog, int id, std::string_view key, bool& setting) {
    setting = CheckBox(dialog, id)->isChecked();
    target_.store.WriteSetting(kSettingsSection, key, setting ? "1" : "0");
}

int RunSetupDialog(SetupSession& session, const SetupTarget& target, QWidget* owner) {
    SetupDialog setup(session, target, owner);
    return setup.Dialog().RunModal();
}

}  // namespace quill
