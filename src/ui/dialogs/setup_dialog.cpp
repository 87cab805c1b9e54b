#include "ui/dialogs/setup_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <string>
#include <vector>

#include "ui/resources/message_box.h"

namespace quill {

namespace {

constexpr const char* kFontNote =
    "NOTE:\nFont changes do not take effect until the next time you start quillterm";

// The font dialog lists the families it has, with sizes in points: it starts
// from the family the face resolves to (a face such as "Courier New" is often
// an alias of another family), at the point size of the terminal's pixels.
QFont FontDialogStart(const std::string& face, int height) {
    const QFontInfo used(MakeFixedPitchFont(face, height));
    QFont start(used.family());
    const qreal dotsPerInch = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    start.setPointSizeF(used.pixelSize() * 72.0 / dotsPerInch);
    return start;
}

std::optional<FontChoice> ShowFontDialog(QWidget* owner, const std::string& face, int height) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, FontDialogStart(face, height), owner, QString(),
                                              QFontDialog::MonospacedFonts);
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

QCheckBox* CheckBox(TemplateDialog& dialog, SetupControl id) {
    return dialog.ControlAs<QCheckBox>(id);
}

// The colour chosen; key goes into changed when it differs from the one shown.
Rgb TakeColour(Rgb shown, Rgb chosen, std::string_view key, std::vector<SettingEntry>& changed) {
    if (chosen != shown) changed.push_back({std::string(key), FormatColour(chosen)});
    return chosen;
}

// The box's state; key goes into changed when the user changed it.
bool TakeFlag(TemplateDialog& dialog, SetupControl id, bool shown, std::string_view key,
              std::vector<SettingEntry>& changed) {
    const bool on = CheckBox(dialog, id)->isChecked();
    if (on != shown) changed.push_back({std::string(key), on ? "1" : "0"});
    return on;
}

}  // namespace

SetupHooks DefaultSetupHooks() {
    return SetupHooks{ShowFontDialog, ShowColourDialog, ShowMessageBox};
}

SetupDialog::SetupDialog(SetupSession& session, const SetupTarget& target, QWidget* owner)
    : session_(session),
      target_(target),
      working_{target.settings.fgcolor, target.settings.bgcolor} {
    const auto controls = [this](std::string_view className, QWidget* parent) -> QWidget* {
        if (className != kTextExampleClass) return nullptr;
        return new TextExample(working_, target_.settings.font, target_.CellHeight, parent);
    };
    dialog_ = new TemplateDialog(SetupTemplate(), owner, HandlersOf<SetupControl>(*this), controls);
    dialog_->Initialise();
}

SetupDialog::~SetupDialog() {
    delete dialog_;
}

TextExample& SetupDialog::Preview() {
    return *dialog_->ControlAs<TextExample>(SetupControl::kPreview);
}

void SetupDialog::OnCommand(TemplateDialog& dialog, SetupControl id) {
    switch (id) {
        case SetupControl::kSelectFont:
            SelectFont(dialog);
            return;
        case SetupControl::kTextColor:
            ChooseColour(dialog, working_.text);
            return;
        case SetupControl::kBackground:
            ChooseColour(dialog, working_.background);
            return;
        case SetupControl::kOk:
            Ok(dialog);
            return;
        case SetupControl::kCancel:
            dialog.EndDialog(0);
            return;
        default:
            // The check boxes' own clicks, and Escape and the close box: the
            // dialog stays as it is.
            return;
    }
}

void SetupDialog::OnInitDialog(TemplateDialog& dialog) {
    const TerminalSettings& s = target_.settings;
    working_ = WorkingColours{s.fgcolor, s.bgcolor};
    CheckBox(dialog, SetupControl::kWrap)->setChecked(s.options.Wrap());
    CheckBox(dialog, SetupControl::kMaxOnStart)->setChecked(s.MaximizeOnStart);
    CheckBox(dialog, SetupControl::kLocalEcho)->setChecked(s.options.LocalEcho());
    CheckBox(dialog, SetupControl::kCRLF)->setChecked(s.options.CRLFTranslation());
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

// Only what the user changed in the dialog is written, all in one write, so
// that what another instance saved meanwhile stays as it is.
void SetupDialog::Ok(TemplateDialog& dialog) {
    TerminalSettings& s = target_.settings;
    std::vector<SettingEntry> changed;
    s.fgcolor = TakeColour(s.fgcolor, working_.text, kFgColorKey, changed);
    s.bgcolor = TakeColour(s.bgcolor, working_.background, kBgColorKey, changed);
    if (target_.repaintMainWindow) target_.repaintMainWindow();

    s.options.SetWrap(TakeFlag(dialog, SetupControl::kWrap, s.options.Wrap(), kWrapKey, changed));
    s.MaximizeOnStart =
        TakeFlag(dialog, SetupControl::kMaxOnStart, s.MaximizeOnStart, "maximizeOnStart", changed);
    s.options.SetLocalEcho(
        TakeFlag(dialog, SetupControl::kLocalEcho, s.options.LocalEcho(), kLocalEchoKey, changed));
    s.options.SetCRLFTranslation(TakeFlag(dialog, SetupControl::kCRLF, s.options.CRLFTranslation(),
                                          kCRLFTranslationKey, changed));

    FontChoice& pending = session_.pendingFont;
    const bool fontChosen = pending.height != 0;
    if (fontChosen) {
        changed.push_back({std::string(kFontKey), pending.face});
        changed.push_back({std::string(kFontSizeKey), std::to_string(pending.height)});
        pending.height = 0;
    }
    if (!changed.empty()) target_.store.WriteSettings(kSettingsSection, changed);
    if (fontChosen) {
        session_.hooks.messageBox(&dialog, kFontNote, QStringLiteral("NOTE"), QMessageBox::NoIcon);
    }
    dialog.EndDialog(1);
}

bool RunSetupDialog(SetupSession& session, const SetupTarget& target, QWidget* owner) {
    SetupDialog setup(session, target, owner);
    return setup.Dialog().RunModal() != 0;
}

}  // namespace quill
