#pragma once

#include <QPointer>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/interfaces/screen_view.h"
#include "ui/resources/control_ids.h"
#include "ui/resources/message_box.h"
#include "ui/resources/template_dialog.h"

class QWidget;

namespace quill {

// The document name is cut to this many characters.
constexpr int kDocNameLength = 31;

// The platform seams of a print job. The defaults talk to the user; tests
// replace them to print into a file and to record what would be shown.
struct PrintHooks {
    // Shows the printer dialog for the printer; true when the user confirmed it.
    std::function<bool(QPrinter& printer, QWidget* owner)> printDialog;
    // Shows a message box with an OK button.
    MessageBoxFunction messageBox;
};

PrintHooks DefaultPrintHooks();

// "Quillterm -- " followed by the window title, cut to 31 characters.
QString PrintDocumentName(const QString& windowTitle);

// The text of rowCount buffer rows of the screen from firstRow on: the rows
// on display in the main window, as print shows them, each without its
// trailing blanks.
QStringList RowsOnDisplay(const ScreenView& screen, int firstRow, int rowCount);

// Prints rows of the character grid: the rows on display in the main window.
// One instance lives as long as the program; the printer it keeps remembers the
// user's last choice in the printer dialog.
class ScreenPrinter {
  public:
    explicit ScreenPrinter(PrintHooks hooks = DefaultPrintHooks());
    ~ScreenPrinter();
    ScreenPrinter(const ScreenPrinter&) = delete;
    ScreenPrinter& operator=(const ScreenPrinter&) = delete;

    // Prints the rows, one line each. owner is disabled while the job runs;
    // its title names the document.
    void PrintScreen(QWidget* owner, const QStringList& rows);

    // Asks for a printer; none when the user cancelled or it cannot be used.
    QPrinter* GetPrinterDC(QWidget* owner);

    // Keeps the program's events flowing during the job; false once Cancel was pressed.
    bool AbortProc();

    // The printing dialog's command: Cancel raises the abort flag.
    void OnPrintDialogCommand(ControlId id);

    // The running job's printing dialog, none outside a job.
    TemplateDialog* PrintingDialog() const { return printingDialog_; }

  private:
    // A row of the job, placed on its page.
    struct PrintedRow {
        int page;
        int baseline;
        QString text;
    };

    // Lays the rows out on pages, letting events in after each row; the
    // printer gets the document only when no Cancel came, because a print
    // engine cannot take back what it was given.
    bool PrintRows(QPrinter& printer, const QStringList& rows);
    bool SendToPrinter(QPrinter& printer, const std::vector<PrintedRow>& rows);
    void CreatePrintingDialog(QWidget* owner);

    PrintHooks hooks_;
    QPrinter printer_{QPrinter::HighResolution};
    bool printAbort_ = false;
    QPointer<TemplateDialog> printingDialog_;
};

}  // namespace quill
