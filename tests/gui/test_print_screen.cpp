// Printing the rows on display into a PDF file, read back with pdftotext.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "core/terminal/screen_model.h"
#include "ui/print/print_screen.h"
#include "ui/resources/control_ids.h"

namespace quill {
namespace {

struct ShownBox {
    QWidget* owner;
    QString text;
    QString title;
    QMessageBox::Icon icon;
};

// Buffer rows that say which row they are: "row 123 ..." padded with spaces
// to 80 characters.
QStringList LabelledGrid() {
    QStringList grid;
    for (int row = 0; row < kBufferRows; ++row) {
        grid << QString::asprintf("row%03d end", row).leftJustified(kColumns, ' ');
    }
    return grid;
}

QString RunTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The labels "rowNNN" in the order they appear, per page.
std::vector<QStringList> LabelsPerPage(const QString& pdf) {
    const QString text = RunTool("pdftotext", {"-layout", pdf, "-"});
    std::vector<QStringList> pages;
    for (const QString& page : text.split(QLatin1Char('\f'), Qt::SkipEmptyParts)) {
        QStringList labels;
        for (const QString& word : page.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
            if (word.startsWith("row")) labels << word;
        }
        if (!labels.isEmpty()) pages.push_back(labels);
    }
    return pages;
}

QStringList Expected(int firstRow, int count) {
    QStringList labels;
    for (int row = firstRow; row < firstRow + count; ++row) {
        labels << QString("row%1").arg(row, 3, 10, QLatin1Char('0'));
    }
    return labels;
}

class PrintScreenTest : public ::testing::Test {
  protected:
    PrintScreenTest() : grid(LabelledGrid()), printer(Hooks()) {
        window.setWindowTitle("alpha");
        pdf = dir.filePath("screen.pdf");
    }

    PrintHooks Hooks() {
        PrintHooks hooks;
        hooks.printDialog = [this](QPrinter& p, QWidget* owner) {
            EXPECT_EQ(owner, &window);
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            if (duringJob) QTimer::singleShot(0, duringJob);
            return confirmPrinter;
        };
        hooks.messageBox = [this](QWidget* owner, const QString& text, const QString& title,
                                  QMessageBox::Icon icon) {
            boxes.push_back({owner, text, title, icon});
        };
        return hooks;
    }

    QStringList AllLabels() {
        QStringList all;
        for (const QStringList& page : LabelsPerPage(pdf)) all << page;
        return all;
    }

    void ExpectPrintError() {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Print Error");
        EXPECT_EQ(boxes[0].title, "quill");
        EXPECT_EQ(boxes[0].owner, &window);
        EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
    }

    QTemporaryDir dir;
    QString pdf;
    QWidget window;
    // The rows on display from buffer row `top` on.
    QStringList Rows(int top) const { return grid.mid(top, kScreenRows); }

    QStringList grid;
    bool confirmPrinter = true;
    std::function<void()> duringJob;
    std::vector<ShownBox> boxes;
    ScreenPrinter printer;
};

TEST_F(PrintScreenTest, LiveViewPrintsTheScreenRowsInOrderOnOnePage) {
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    EXPECT_TRUE(boxes.empty());
    const auto pages = LabelsPerPage(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], Expected(kFirstScreenRow, kScreenRows));
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(printer.PrintingDialog(), nullptr);
}

TEST_F(PrintScreenTest, ScrolledBackViewPrintsTheHistoryRowsShown) {
    printer.PrintScreen(&window, Rows(100));

    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(AllLabels(), Expected(100, kScreenRows));
}

TEST_F(PrintScreenTest, RowsArePrintedAsStoredWithInnerSpaces) {
    grid[kFirstScreenRow].replace(20, 4, "a  b");
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    const QString out = RunTool("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(out.contains(QRegularExpression("row275 end\\s+a\\s+b"))) << out.toStdString();
}

// Each word's left edge on the page, as pdftotext measures it, by its text.
std::vector<std::pair<QString, double>> WordPositions(const QString& pdf) {
    const QString html = RunTool("pdftotext", {"-bbox", pdf, "-"});
    const QRegularExpression word(R"re(<word xMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    std::vector<std::pair<QString, double>> words;
    for (const auto& match : word.globalMatch(html)) {
        words.emplace_back(match.captured(2), match.captured(1).toDouble());
    }
    return words;
}

TEST_F(PrintScreenTest, ColumnsLineUpAsOnTheScreen) {
    const std::string narrow = "iiiiiiiiiiiiiiiiii X";
    const std::string wide = "WWWWWWWWWWWWWWWWWW X";
    grid[kFirstScreenRow].replace(20, narrow.size(), QString::fromStdString(narrow));
    grid[kFirstScreenRow + 1].replace(20, wide.size(), QString::fromStdString(wide));
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    std::vector<double> columnX;
    for (const auto& [text, x] : WordPositions(pdf)) {
        if (text == "X") columnX.push_back(x);
    }
    ASSERT_EQ(columnX.size(), 2u);
    EXPECT_NEAR(columnX[0], columnX[1], 0.5);
}

TEST_F(PrintScreenTest, TallPrinterFontContinuesOnANewPage) {
    const QFont before = QApplication::font();
    QFont tall = before;
    tall.setPointSize(48);
    QApplication::setFont(tall);
    printer.PrintScreen(&window, Rows(kLiveViewTop));
    QApplication::setFont(before);

    EXPECT_TRUE(boxes.empty());
    const auto pages = LabelsPerPage(pdf);
    ASSERT_GE(pages.size(), 2u);
    // Each page starts at its top: the first page is full before the second begins.
    EXPECT_GT(pages[0].size(), 1);
    EXPECT_GE(pages[0].size(), pages[1].size());
    EXPECT_EQ(AllLabels(), Expected(kFirstScreenRow, kScreenRows));
}

TEST_F(PrintScreenTest, DocumentIsNamedAfterTheWindowTitle) {
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    const QString info = RunTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+Quillterm -- alpha\\n")))
        << info.toStdString();
}

// The printer dialog names a suggested PDF file after the document; the
// document's own name is not changed by that.
TEST(PrintDialog, SuggestsTheWholeDocumentNameForAFile) {
    QPrinter printer;
    printer.setDocName("Quillterm -- 127.0.0.1");
    QString nameWhileOpen;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        nameWhileOpen = printer.docName();
        dialog->reject();
    });
    EXPECT_FALSE(DefaultPrintHooks().printDialog(printer, nullptr));
    EXPECT_EQ(nameWhileOpen, "Quillterm -- 127.0.0.1.pdf");
    EXPECT_EQ(printer.docName(), "Quillterm -- 127.0.0.1");
}

TEST(PrintDocumentName, IsCutToThirtyOneCharacters) {
    EXPECT_EQ(PrintDocumentName("alpha"), "Quillterm -- alpha");
    EXPECT_EQ(PrintDocumentName("123456789012345678"), "Quillterm -- 123456789012345678");
    EXPECT_EQ(PrintDocumentName("1234567890123456789"), "Quillterm -- 123456789012345678");
    EXPECT_EQ(PrintDocumentName(""), "Quillterm -- ");
}

TEST_F(PrintScreenTest, CancelledPrinterDialogGivesPrintErrorAndPrintsNothing) {
    confirmPrinter = false;
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    ExpectPrintError();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(window.isEnabled());
}

TEST_F(PrintScreenTest, CancelDuringTheJobAbortsItWithPrintError) {
    bool windowDisabled = false;
    bool dialogShown = false;
    duringJob = [&] {
        TemplateDialog* dialog = printer.PrintingDialog();
        ASSERT_NE(dialog, nullptr);
        windowDisabled = !window.isEnabled();
        dialogShown = dialog->isVisible() && dialog->windowTitle() == "Printing";
        auto* cancel = dialog->ControlAs<QPushButton>(PrintControl::kCancel);
        ASSERT_NE(cancel, nullptr);
        cancel->click();
    };
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    EXPECT_TRUE(windowDisabled);
    EXPECT_TRUE(dialogShown);
    ExpectPrintError();
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(printer.PrintingDialog(), nullptr);
    // Nothing reached the printer.
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintScreenTest, EnterOnThePrintingDialogPressesCancel) {
    duringJob = [&] {
        TemplateDialog* dialog = printer.PrintingDialog();
        ASSERT_NE(dialog, nullptr);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(dialog, &enter);
    };
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    ExpectPrintError();
}

TEST_F(PrintScreenTest, DocumentThatCannotStartGivesPrintError) {
    pdf = dir.filePath("missing/dir/screen.pdf");
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    ExpectPrintError();
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(printer.PrintingDialog(), nullptr);
}

TEST_F(PrintScreenTest, ASecondJobAfterACancelledOnePrintsNormally) {
    duringJob = [&] { printer.PrintingDialog()->SendCommand(PrintControl::kCancel); };
    printer.PrintScreen(&window, Rows(kLiveViewTop));
    ExpectPrintError();
    duringJob = nullptr;
    boxes.clear();
    printer.PrintScreen(&window, Rows(kLiveViewTop));

    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(AllLabels(), Expected(kFirstScreenRow, kScreenRows));
}

}  // namespace
}  // namespace quill
