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

// The two messages a dialog procedure gets: once after the controls exist and
// before the dialog shows, and for every command (a button, Escape or the
// close box, a list notification). The procedure returns whether it handled it.
enum class DialogMessage { InitDialog, Command };
using DialogProcedure = std::function<bool(TemplateDialog& dialog, DialogMessage, int id)>;

// Makes the widget of a program-defined control class (such as "TextExample").
using CustomControlFactory = std::function<QWidget*(std::string_view className, QWidget* parent)>;

// A dialog built from its template: controls placed in dialog units converted
// with the dialog font, in template order (the tab order), reachable by id.
class TemplateDialog : public QDialog {
    Q_OBJECT
  public:
    TemplateDialog(const DialogTemplate& resource, QWidget* owner, DialogProcedure procedure = {},
                   const CustomControlFactory& factory = {});

    const DialogTemplate& Resource() const { return resource_; }
    DialogBaseUnits BaseUnits() const { return units_; }
    QRect ToPixels(const DialogRect& rect) const { return DialogToPixels(rect, units_); }

    // The control with that id, or nullptr.
    QWidget* Control(int id) const;
    template <typename Widget>
    Widget* ControlAs(int id) const {
        return qobject_cast<Widget*>(Control(id));
    }

    // Window text of a control: label, button, edit field, combo box edit field.
    std::string ItemText(int id) const;
    void SetItemText(int id, std::string_view text);

    // Sends the procedure InitDialog; the constructor leaves it to the caller so
    // that the procedure sees a fully made dialog.
    void Initialise();
    // Shows the dialog modally and returns the result given to EndDialog.
    int RunModal();
    // Closes the dialog with a result; RunModal returns it.
    void EndDialog(int result) { done(result); }
    // Delivers a command as a control would.
    void SendCommand(int id);

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
    DialogProcedure procedure_;
    DialogBaseUnits units_;
    std::map<int, QWidget*> controls_;
};

}  // namespace quill
