#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "ui/resources/dialog_template.h"
#include "ui/resources/dialog_units.h"

namespace quill {

class TemplateDialog;

// What a dialog does with its two messages: initialisation, once the controls
// exist and before the dialog shows, and a command from one of its controls
// (a button, a list notification; Escape and the close box send
// kStandardCancel). Either may be left empty.
struct DialogHandlers {
    std::function<void(TemplateDialog& dialog)> onInitDialog;
    std::function<void(TemplateDialog& dialog, ControlId id)> onCommand;
};

// The handlers of a dialog class whose OnInitDialog(TemplateDialog&) and
// OnCommand(TemplateDialog&, Control) take its own control enum.
template <typename Control, typename Dialog>
DialogHandlers HandlersOf(Dialog& owner) {
    return {[&owner](TemplateDialog& dialog) { owner.OnInitDialog(dialog); },
            [&owner](TemplateDialog& dialog, ControlId id) {
                owner.OnCommand(dialog, static_cast<Control>(id.value));
            }};
}

// Makes the widget of a program-defined control class (such as "TextExample").
using CustomControlFactory = std::function<QWidget*(std::string_view className, QWidget* parent)>;

// A dialog built from its template: controls placed in dialog units converted
// with the dialog font, in template order (the tab order), reachable by id.
class TemplateDialog : public QDialog {
    Q_OBJECT
  public:
    TemplateDialog(const DialogTemplate& resource, QWidget* owner, DialogHandlers handlers = {},
                   const CustomControlFactory& factory = {});

    const DialogTemplate& Resource() const { return resource_; }
    DialogBaseUnits BaseUnits() const { return units_; }
    QRect ToPixels(const DialogRect& rect) const { return DialogToPixels(rect, units_); }

    // The control with that id, or nullptr.
    QWidget* Control(ControlId id) const;
    template <typename Widget>
    Widget* ControlAs(ControlId id) const {
        return qobject_cast<Widget*>(Control(id));
    }

    // Window text of a control: label, button, edit field, combo box edit field.
    std::string ItemText(ControlId id) const;
    void SetItemText(ControlId id, std::string_view text);

    // Runs the initialisation handler; the constructor leaves it to the caller
    // so that the handler sees a fully made dialog.
    void Initialise();
    // Shows the dialog modally and returns the result given to EndDialog.
    int RunModal();
    // Closes the dialog with a result; RunModal returns it.
    void EndDialog(int result) { done(result); }
    // Delivers a command as a control would.
    void SendCommand(ControlId id);

  public slots:
    // Escape and the close box: the standard cancel command, nothing more.
    void reject() override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QWidget* MakeControl(const ControlTemplate& control, const CustomControlFactory& factory);
    void PlaceControl(QWidget* widget, const ControlTemplate& control);
    void PlaceDialog(QWidget* owner);

    const DialogTemplate& resource_;
    DialogHandlers handlers_;
    DialogBaseUnits units_;
    std::map<ControlId, QWidget*> controls_;
};

}  // namespace quill
