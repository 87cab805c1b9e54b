// Log Session: the command's dialog, check mark and stop, the log started at
// connect, the boxes for files that cannot be created or written, and the
// save dialog itself.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstring>

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
    ASSERT_TRUE(QFile::link("/dev/full", path));
    answer = path;
    Connect();
    Window().OnCommand(CommandId::kLogSession);
    ASSERT_TRUE(Checked());
    const std::uint8_t block[] = "data";
    Window().Logger().Record(block, 4);
    Window().Logger().Flush();
    EXPECT_FALSE(Checked());
    EXPECT_TRUE(boxes.empty()) << "not from inside the read";
    ASSERT_TRUE(PumpUntil([this] { return !boxes.empty(); }));
    EXPECT_EQ(boxes[0].title, "Log Session");
    EXPECT_TRUE(boxes[0].text.contains(path)) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(std::strerror(ENOSPC))) << boxes[0].text.toStdString();
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

TEST(LogFileDialog, IsASaveDialogTitledLogSessionThatReturnsTheChosenPath) {
    QTemporaryDir folder;
    const QString suggested = folder.filePath("suggested.log");
    QString title;
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        title = dialog->windowTitle();
        shown = dialog->selectedFiles();
        dialog->selectFile(folder.filePath("chosen.log"));
        static_cast<QDialog*>(dialog)->accept();  // as the Save button does
    });
    QTimer guard;  // a dialog left open is rejected, so the test cannot hang
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
    });
    guard.start(5000);
    EXPECT_EQ(ChooseLogFile(nullptr, suggested), folder.filePath("chosen.log"));
    EXPECT_EQ(title, "Log Session");
    EXPECT_EQ(shown, QStringList{suggested});
}

}  // namespace
}  // namespace quill::test
