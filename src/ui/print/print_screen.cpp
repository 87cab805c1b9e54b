#include "ui/print/print_screen.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QWidget>
#include <vector>

#include "core/interfaces/screen_view.h"
#include "core/view/row_text.h"
#include "ui/resources/message_box.h"
#include "ui/resources/string_table.h"

namespace quill {

namespace {

// The dialog suggests a file name made of the document name with its last
// ".something" replaced by ".pdf", which would cut "Quillterm -- 127.0.0.1"
// to "...127.0.0.pdf": while it is open, the name ends in ".pdf" already.
bool ShowPrintDialog(QPrinter& printer, QWidget* owner) {
    const QString documentName = printer.docName();
    printer.setDocName(documentName + ".pdf");
    QPrintDialog dialog(&printer, owner);
    // No page numbers and no selection: the job is always the rows on display.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    printer.setDocName(documentName);
    return accepted;
}

// A printer's own default font is a fixed-pitch one, so the columns of a
// terminal screen line up on paper: the system's fixed-pitch family, at the
// size of the program's default font.
QFont PrinterFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(QApplication::font().pointSizeF());
    return font;
}

}  // namespace

QStringList RowsOnDisplay(const ScreenView& screen, int firstRow, int rowCount) {
    QStringList rows;
    for (int row = firstRow; row < firstRow + rowCount; ++row) {
        const std::string text = RowText(screen.Row(row), &screen);
        rows << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    return rows;
}

PrintHooks DefaultPrintHooks() {
    return PrintHooks{ShowPrintDialog, ShowMessageBox};
}

QString PrintDocumentName(const QString& windowTitle) {
    const std::string_view start = LoadString(kPrintDocumentString);
    const QString name = QString::fromLatin1(start.data(), static_cast<qsizetype>(start.size()));
    return (name + windowTitle).left(kDocNameLength);
}

ScreenPrinter::ScreenPrinter(PrintHooks hooks) : hooks_(std::move(hooks)) {}

ScreenPrinter::~ScreenPrinter() {
    delete printingDialog_;
}

void ScreenPrinter::PrintScreen(QWidget* owner, const QStringList& rows) {
    // The owner can go away while events flow during the job.
    const QPointer<QWidget> window(owner);
    printAbort_ = false;
    printer_.setDocName(PrintDocumentName(owner ? owner->windowTitle() : QString()));
    bool printed = false;
    if (QPrinter* printer = GetPrinterDC(owner)) {
        if (window) window->setEnabled(false);
        CreatePrintingDialog(window);
        printed = PrintRows(*printer, rows);
        if (window) window->setEnabled(true);
        delete printingDialog_;
    }
    if (!printed) {
        hooks_.messageBox(window, QStringLiteral("Print Error"), QStringLiteral("quill"),
                          QMessageBox::Warning);
    }
}

QPrinter* ScreenPrinter::GetPrinterDC(QWidget* owner) {
    printer_.setCopyCount(1);
    if (!hooks_.printDialog(printer_, owner)) return nullptr;
    return printer_.isValid() ? &printer_ : nullptr;
}

bool ScreenPrinter::AbortProc() {
    if (!printAbort_) QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !printAbort_;
}

void ScreenPrinter::OnPrintDialogCommand(ControlId id) {
    if (id == PrintControl::kCancel) printAbort_ = true;
}

void ScreenPrinter::CreatePrintingDialog(QWidget* owner) {
    DialogHandlers handlers;
    handlers.onCommand = [this](TemplateDialog&, ControlId id) { OnPrintDialogCommand(id); };
    auto* dialog = new TemplateDialog(PrintTemplate(), owner, std::move(handlers));
    dialog->Initialise();
    // The owner is disabled; its printing dialog must still take the Cancel click.
    dialog->setEnabled(true);
    dialog->show();
    printingDialog_ = dialog;
}

bool ScreenPrinter::PrintRows(QPrinter& printer, const QStringList& texts) {
    const QFontMetrics metrics(PrinterFont(), &printer);
    const int lineHeight = metrics.size(Qt::TextSingleLine, QStringLiteral("CC")).height();
    const int pageHeight = printer.height();
    std::vector<PrintedRow> rows;
    int page = 0;
    int y = 0;
    for (const QString& text : texts) {
        // A row taller than the page still goes on a page of its own rather
        // than leaving an empty page before it.
        if (y > 0 && y + lineHeight > pageHeight) {
            ++page;
            y = 0;
        }
        rows.push_back({page, y + metrics.ascent(), text});
        AbortProc();
        if (printAbort_) return false;
        y += lineHeight;
    }
    return SendToPrinter(printer, rows);
}

bool ScreenPrinter::SendToPrinter(QPrinter& printer, const std::vector<PrintedRow>& rows) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setFont(PrinterFont());
    int page = 0;
    for (const PrintedRow& row : rows) {
        if (row.page != page && !printer.newPage()) {
            printer.abort();
            return false;
        }
        page = row.page;
        painter.drawText(QPoint(0, row.baseline), row.text);
    }
    if (painter.end()) return true;
    hooks_.messageBox(nullptr, QStringLiteral("end doc problem"), QString(), QMessageBox::NoIcon);
    printer.abort();
    return false;
}

}  // namespace quill
