// Log Session: the command's dialog, check mark and stop, the log started at
// connect, the boxes for files that cannot be created or written, and the
// save dialog itself with its question before replacing a file.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "../unit/file_size_limit.h"
#include "log_files.h"
#include "session_fixture.h"
#include "ui/dialogs/log_file_dialog.h"
#include "ui/resources/command_ids.h"

namespace quill::test {
namespace {

// The save dialog answered by the test: each offer is kept, `answer` returned.
class LogSessionTest : public SessionTest {
  protected:
    LogSessionTest() {
        hooks.window.chooseLogFile = [this](QWidget*, const QString& suggested) {
            offered.push_back(suggested);
            return answer;
        };
        app = std::make_unique<Application>(store, hooks);
    }
    bool Checked() { return Window().Menus().Find(CommandId::kLogSession)->isChecked(); }

    QTemporaryDir dir;
    QString path = dir.filePath("session.log");
    std::vector<QString> offered;
    std::optional<QString> answer;
};

TEST_F(LogSessionTest, TheCommandAsksLogsWhatArrivesAsItIsAndStopsWithoutAsking) {
    Connect();
    QAction* item = Window().Menus().Find(CommandId::kLogSession);
    Window().OnCommand(CommandId::kLogSession);  // cancelled
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_TRUE(
        QRegularExpression("/127\\.0\\.0\\.1-\\d{8}-\\d{6}\\.log$").match(offered[0]).hasMatch())
        << offered[0].toStdString();

    answer = path;
    item->trigger();
    EXPECT_TRUE(Checked());
    // Telnet commands and escape sequences too, over more than one chunk;
    // on disk as soon as the read is over.
    const QByteArray logged = "a \x1b[1mbold\x1b[m word \xff\xf1\xff\xff\xff\xfd\x18" +
                              QByteArray(250, 'x') + "\r\nend of log\r\n";
    ASSERT_TRUE(FromHost(logged, "end of log"));
    EXPECT_EQ(ReadAll(path), logged);

    Window().OnCommand(CommandId::kLogSession);
    EXPECT_FALSE(Checked());
    EXPECT_EQ(offered.size(), 2u) << "stopping asks nothing";
    ASSERT_TRUE(FromHost("after\r\n", "after"));
    EXPECT_EQ(ReadAll(path), logged);
    EXPECT_EQ(TimedBytes(path + ".timing"), logged.size());

    answer.reset();
    item->trigger();  // cancelled from the menu, whose click flipped the mark
    EXPECT_FALSE(Checked());
}

TEST_F(LogSessionTest, QuilltermLogStartsALogAtConnectAndTheServersCloseEndsIt) {
    qputenv("QUILLTERM_LOG", path.toLocal8Bit());
    hooks.logAtConnect = DefaultAppHooks(store).logAtConnect;
    qunsetenv("QUILLTERM_LOG");
    bool loggingAtTheBox = true;
    hooks.window.messageBox = [&](QWidget*, const QString&, const QString&, QMessageBox::Icon) {
        loggingAtTheBox = Window().Logger().Logging();
    };
    app = std::make_unique<Application>(store, hooks);
    Connect();
    EXPECT_TRUE(Checked());
    host.Send("last words\r\n");
    host.Close();
    ASSERT_TRUE(PumpUntil([this] { return Window().Destroyed(); }));
    EXPECT_FALSE(loggingAtTheBox) << "the log is closed before Connection closed shows";
    EXPECT_EQ(ReadAll(path), "last words\r\n");
}

TEST_F(LogSessionTest, ClosingTheWindowClosesTheLog) {
    hooks.logAtConnect = path;
    app = std::make_unique<Application>(store, hooks);
    Connect();
    ASSERT_TRUE(Window().Logger().Logging());
    Window().close();
    EXPECT_FALSE(Window().Logger().Logging());
}

TEST_F(LogSessionTest, AFileThatCannotBeCreatedIsNamedWithTheReason) {
    Connect();
    answer = dir.filePath("missing/session.log");
    Window().OnCommand(CommandId::kLogSession);
    EXPECT_FALSE(Checked());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Log Session");
    EXPECT_TRUE(boxes[0].text.contains(*answer)) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(std::strerror(ENOENT))) << boxes[0].text.toStdString();
}

TEST_F(LogSessionTest, AFailedWriteStopsTheLogAtOnceAndSaysSoAfterTheRead) {
    answer = path;
    Connect();
    Window().OnCommand(CommandId::kLogSession);
    ASSERT_TRUE(Checked());
    const std::vector<std::uint8_t> block(200, 'x');
    {
        FileSizeLimit limit(100);
        Window().Logger().Record(block.data(), static_cast<int>(block.size()));
        Window().Logger().Flush();
    }
    EXPECT_FALSE(Checked());
    EXPECT_TRUE(boxes.empty()) << "not from inside the read";
    ASSERT_TRUE(PumpUntil([this] { return !boxes.empty(); }));
    EXPECT_EQ(boxes[0].title, "Log Session");
    EXPECT_TRUE(boxes[0].text.contains(path)) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(std::strerror(EFBIG))) << boxes[0].text.toStdString();
    EXPECT_EQ(TimedBytes(path + ".timing"), 100) << "the bytes the log holds";
    EXPECT_TRUE(FromHost("still connected", "still connected"));
}

TEST(LogFileDialog, SuggestsHostAndTimeInDocumentsOrElseHome) {
    QTemporaryDir documents;
    const QDateTime at(QDate(2026, 1, 2), QTime(3, 4, 5));
    EXPECT_EQ(SuggestedLogPath("fe80::1/x", at, documents.path()),
              documents.filePath("fe80--1-x-20260102-030405.log"));
    EXPECT_EQ(SuggestedLogPath("host", at, documents.filePath("gone")),
              QDir::home().filePath("host-20260102-030405.log"));
}

// Answers each modal window as it comes up with `answer`, which says whether
// it could (else it is tried again); whatever is still open after 10 s is
// closed, so nothing hangs.
class ModalAnswers {
  public:
    explicit ModalAnswers(std::function<bool(QWidget*)> answer) {
        QObject::connect(&poll_, &QTimer::timeout, [this, answer] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == last_) return;
            if (answer(modal)) last_ = modal;
        });
        QObject::connect(&guard_, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->reject();
            }
        });
        poll_.start(20);
        guard_.start(10000);
    }

  private:
    QTimer poll_;
    QTimer guard_;
    QPointer<QWidget> last_;  // a widget deleted since is no longer the last
};

// Types `path` into the file dialog's name field and saves, as the user does
// (selectFile leaves a field that has the focus alone); false while the
// dialog has no such field yet.
bool Choose(QFileDialog& dialog, const QString& path) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr) return false;
    name->setText(path);
    if (dialog.selectedFiles() != QStringList{path}) return false;
    static_cast<QDialog&>(dialog).accept();  // as the Save button does
    return true;
}

TEST(LogFileDialog, IsASaveDialogTitledLogSessionThatReturnsTheChosenPath) {
    QTemporaryDir folder;
    const QString suggested = folder.filePath("suggested.log");
    QString title;
    QStringList shown;
    ModalAnswers answers([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) return true;
        title = dialog->windowTitle();
        shown = dialog->selectedFiles();
        return Choose(*dialog, folder.filePath("chosen.log"));
    });
    EXPECT_EQ(ChooseLogFile(nullptr, suggested), folder.filePath("chosen.log"));
    EXPECT_EQ(title, "Log Session");
    EXPECT_EQ(shown, QStringList{suggested});
}

// The file dialog's question names FILE.timing too; No brings the dialog
// back, Yes takes the file.
TEST(LogFileDialog, AsksBeforeReplacingTheLogOrItsTimingFile) {
    QTemporaryDir folder;
    const QString notes = folder.filePath("notes");
    QFile(notes + ".timing").open(QIODevice::WriteOnly);
    std::vector<QString> questions;
    int dialogs = 0;
    ModalAnswers answers([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            questions.push_back(box->text());
            const bool first = questions.size() == 1;
            if (first) QFile(notes).open(QIODevice::WriteOnly);  // both exist the next time
            box->button(first ? QMessageBox::No : QMessageBox::Yes)->click();
            return true;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        const bool chosen = dialog != nullptr && Choose(*dialog, notes);
        dialogs += chosen;
        return chosen || dialog == nullptr;
    });
    EXPECT_EQ(ChooseLogFile(nullptr, folder.filePath("suggested.log")), notes);
    EXPECT_EQ(dialogs, 2) << "No offers the dialog again";
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0], "notes.timing already exists.\nDo you want to replace it?");
    EXPECT_EQ(questions[1], "notes and notes.timing already exist.\nDo you want to replace them?");
}

}  // namespace
}  // namespace quill::test
