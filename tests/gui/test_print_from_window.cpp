// Print Screen from the main window prints what the window shows.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "core/engine/headless_terminal.h"
#include "session_fixture.h"
#include "ui/print/print_screen.h"
#include "ui/resources/command_ids.h"
#include "ui/terminal/terminal_view.h"

namespace quill {
namespace {

// Rows with their runs of blanks made single, blank rows left out.
QStringList Simplified(const QStringList& rows) {
    QStringList out;
    for (const QString& row : rows) {
        const QString s = row.simplified();
        if (!s.isEmpty()) out << s;
    }
    return out;
}

class WindowPrintTest : public test::SessionTest {
  protected:
    WindowPrintTest() {
        pdf = dir.filePath("window.pdf");
        PrintHooks printHooks;
        printHooks.printDialog = [this](QPrinter& p, QWidget*) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
            return true;
        };
        printHooks.messageBox = [this](QWidget*, const QString& text, const QString&,
                                       QMessageBox::Icon) { printBoxes << text; };
        printer = std::make_unique<ScreenPrinter>(printHooks);
        hooks.window.printScreen = [this](QWidget* owner, const ScreenView& screen, int top,
                                          int rows) {
            printedFrom = top;
            printer->PrintScreen(owner, quill::RowsOnDisplay(screen, top, rows));
        };
        app = std::make_unique<Application>(store, hooks);
    }

    QStringList PrintedRows() {
        QProcess tool;
        tool.start("pdftotext", {"-layout", pdf, "-"});
        if (!tool.waitForFinished(30000)) {
            tool.kill();
            tool.waitForFinished(5000);
        }
        return Simplified(QString::fromUtf8(tool.readAllStandardOutput()).split('\n'));
    }

    QStringList RowsOnDisplay() {
        QStringList rows;
        for (int r = 0; r < kScreenRows; ++r) rows << QString::fromLatin1(WindowRow(r));
        return Simplified(rows);
    }

    QTemporaryDir dir;
    QString pdf;
    std::unique_ptr<ScreenPrinter> printer;
    QStringList printBoxes;
    int printedFrom = 0;
};

TEST_F(WindowPrintTest, PrintScreenPrintsTheRowsOnDisplayOfAScrolledBackView) {
    Connect();
    QByteArray lines;
    for (int i = 0; i < 40; ++i) lines += QByteArray("line ") + QByteArray::number(i) + "\r\n";
    ASSERT_TRUE(FromHost(lines, "line 39"));
    Window().OnScroll(ScrollAction::kPageUp);
    const int top = Window().View().ViewTop();
    ASSERT_LT(top, kLiveViewTop);

    Window().OnCommand(CommandId::kPrintScreen);

    EXPECT_EQ(printedFrom, top);
    EXPECT_TRUE(printBoxes.isEmpty());
    EXPECT_TRUE(Window().isEnabled());
    const QStringList shown = RowsOnDisplay();
    ASSERT_GT(shown.size(), 10);
    EXPECT_EQ(PrintedRows(), shown);
}

// The extended terminal's text goes to paper as it reads: a wide character
// once, a character with its combining mark.
TEST(RowsOnDisplayTest, WideCharactersOnceAndMarksWithTheirCharacter) {
    HeadlessTerminal terminal;
    terminal.Options().SetExtended(true);
    terminal.Feed("\xE4\xB8\xAD" "e\xCC\x81!", kReceiveChunk);
    const ScreenView& screen = terminal.terminal().View();
    const QStringList rows = quill::RowsOnDisplay(screen, screen.FirstScreenRow(), 1);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].trimmed(), QString::fromUtf8("\xE4\xB8\xAD" "e\xCC\x81!"));
}

}  // namespace
}  // namespace quill
