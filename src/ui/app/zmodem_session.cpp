#include "ui/app/zmodem_session.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <string>

#include "core/settings/terminal_settings.h"
#include "core/transfer/zmodem_start.h"

namespace quill {
namespace {

constexpr std::string_view kFolderKey = "downloadfolder";
constexpr std::size_t kFolderBufferSize = 4096;
// What waits for the child while the user chooses: the host's retries of its
// first header, never a file.
constexpr std::size_t kMostWaiting = 1 << 20;
// How long the host's data must pause before a cancelled transfer's end, and
// how long it is dropped at most.
constexpr int kQuietMs = 300;
constexpr qint64 kShowEveryMs = 100;
constexpr qint64 kMostDrainMs = 4000;

QString DefaultFolder() {
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::HomeLocation)
                               : downloads;
}

QString FormatBytes(std::int64_t bytes) {
    return QLocale::c().toString(static_cast<qlonglong>(bytes));
}

QString TimeLeft(const TransferProgress& progress) {
    if (progress.bytesPerSecond <= 0 || progress.total <= progress.done) return QStringLiteral("-");
    const std::int64_t seconds = (progress.total - progress.done) / progress.bytesPerSecond;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

// -b binary, -E rename a file whose name exists (NAME.0 ... NAME.999) instead
// of overwriting it, -R restricted twice: no absolute names, no "..", no
// folders and no hidden files (so nothing is written outside the folder),
// -vv the progress on standard error.
QStringList ZmodemSession::ReceiveArguments() {
    return {QStringLiteral("-b"), QStringLiteral("-E"), QStringLiteral("-R"), QStringLiteral("-R"),
            QStringLiteral("-vv")};
}

ZmodemSession::ZmodemSession(QWidget& owner, Terminal& terminal, SettingsStore& store,
                             MessageBoxFunction messageBox, ZmodemHooks hooks)
    : owner_(owner),
      terminal_(terminal),
      store_(store),
      messageBox_(std::move(messageBox)),
      hooks_(std::move(hooks)) {
    terminal_.SetTransferSink(this);
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &ZmodemSession::EndDrain);
}

ZmodemSession::~ZmodemSession() {
    terminal_.SetTransferSink(nullptr);
    if (process_) process_->kill();
}

// The dialog opens from the event loop, never inside the read.
void ZmodemSession::TransferStarted(ZmodemStart kind) {
    waiting_.clear();
    cancelled_ = false;
    QTimer::singleShot(0, this, [this, kind] { Ask(kind); });
}

void ZmodemSession::TransferData(std::span<const std::uint8_t> data) {
    if (draining_) {
        Drain();
    } else if (process_) {
        process_->write(reinterpret_cast<const char*>(data.data()),
                        static_cast<qint64>(data.size()));
    } else if (waiting_.size() + data.size() <= kMostWaiting) {
        waiting_.insert(waiting_.end(), data.begin(), data.end());
    }
}

bool ZmodemSession::HasProgram(const QString& program) {
    if (!hooks_.findProgram(program).isEmpty()) return true;
    messageBox_(&owner_,
                      QStringLiteral("ZMODEM transfers need the program %1, which is not "
                                     "installed. It comes with the package lrzsz.")
                          .arg(program),
                      QStringLiteral("ZMODEM Transfer"), QMessageBox::Warning);
    return false;
}

void ZmodemSession::Ask(ZmodemStart kind) {
    if (process_) return;
    if (kind == ZmodemStart::kDownload) {
        std::string stored;
        store_.ReadSetting(kSettingsSection, kFolderKey, "", stored, kFolderBufferSize);
        const QString remembered = stored.empty() ? DefaultFolder() : QString::fromStdString(stored);
        if (!HasProgram(QStringLiteral("rz"))) return Abort();
        const std::optional<QString> folder = hooks_.chooseFolder(&owner_, remembered);
        if (!folder) return Abort();
        store_.WriteSetting(kSettingsSection, kFolderKey, folder->toStdString());
        receiving_ = true;
        return Start(QStringLiteral("rz"), ReceiveArguments(), *folder);
    }
    if (!HasProgram(QStringLiteral("sz"))) return Abort();
    const QStringList files = hooks_.chooseFiles(&owner_);
    if (files.isEmpty()) return Abort();
    StartSending(files);
}

void ZmodemSession::SendFiles() {
    if (process_ || terminal_.Transferring() || !HasProgram(QStringLiteral("sz"))) return;
    const QStringList files = hooks_.chooseFiles(&owner_);
    if (files.isEmpty()) return;
    waiting_.clear();
    cancelled_ = false;
    terminal_.BeginTransfer();
    StartSending(files);
}

// -b binary, -vv the progress on standard error.
void ZmodemSession::StartSending(const QStringList& files) {
    receiving_ = false;
    Start(QStringLiteral("sz"), QStringList{QStringLiteral("-b"), QStringLiteral("-vv")} + files,
          QString());
}

// The host gives up on the abort; the data is the screen's again.
void ZmodemSession::Abort() {
    terminal_.SendTransferData(ZmodemAbort());
    terminal_.EndTransfer();
    waiting_.clear();
}

void ZmodemSession::Start(const QString& program, const QStringList& arguments,
                          const QString& folder) {
    files_.clear();
    reader_ = {};
    sinceShown_.invalidate();
    process_ = std::make_unique<QProcess>();
    if (!folder.isEmpty()) process_->setWorkingDirectory(folder);
    connect(process_.get(), &QProcess::readyReadStandardOutput, this, &ZmodemSession::OnOutput);
    connect(process_.get(), &QProcess::readyReadStandardError, this, &ZmodemSession::OnReport);
    connect(process_.get(), &QProcess::finished, this, &ZmodemSession::OnFinished);
    connect(process_.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) OnFinished(-1, QProcess::CrashExit);
    });
    progress_ = std::make_unique<QProgressDialog>(&owner_);
    progress_->setWindowTitle(QStringLiteral("ZMODEM Transfer"));
    progress_->setLabelText(receiving_ ? QStringLiteral("Receiving...")
                                       : QStringLiteral("Sending..."));
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setRange(0, 0);
    connect(progress_.get(), &QProgressDialog::canceled, this, &ZmodemSession::Cancel);
    progress_->show();
    process_->start(hooks_.findProgram(program), arguments);
    if (!waiting_.empty()) {
        process_->write(reinterpret_cast<const char*>(waiting_.data()),
                        static_cast<qint64>(waiting_.size()));
        waiting_.clear();
    }
}

void ZmodemSession::OnOutput() {
    const QByteArray out = process_->readAllStandardOutput();
    terminal_.SendTransferData(
        {reinterpret_cast<const std::uint8_t*>(out.constData()), static_cast<std::size_t>(out.size())});
}

void ZmodemSession::OnReport() {
    const QByteArray report = process_->readAllStandardError();
    if (!reader_.Take(std::string_view(report.constData(), static_cast<std::size_t>(report.size()))))
        return;
    const TransferProgress& now = reader_.Progress();
    const bool newFile = files_.empty() || files_.back().file != now.file;
    if (newFile) files_.push_back(now);
    files_.back() = now;
    // lrzsz reports every kilobyte: the dialog takes a new figure a few
    // times a second, which is all it can show.
    if (!newFile && sinceShown_.isValid() && sinceShown_.elapsed() < kShowEveryMs) return;
    sinceShown_.start();
    ShowProgress();
}

// File name, bytes done of the total, rate and time left.
void ZmodemSession::ShowProgress() {
    const TransferProgress& now = reader_.Progress();
    progress_->setLabelText(QStringLiteral("%1\n%2 of %3 bytes\n%4 bytes/s, %5 left")
                                .arg(QString::fromStdString(now.file), FormatBytes(now.done),
                                     FormatBytes(now.total), FormatBytes(now.bytesPerSecond),
                                     TimeLeft(now)));
    const int scale = now.total > 0 ? 1000 : 0;
    progress_->setRange(0, scale);
    if (scale > 0) progress_->setValue(static_cast<int>(now.done * scale / now.total));
}

void ZmodemSession::Cancel() {
    if (!process_ || cancelled_) return;
    cancelled_ = true;
    terminal_.SendTransferData(ZmodemAbort());
    process_->kill();
}

// The child has ended: what remains of its output still goes to the host,
// then the screen has the data again and says what came of it.
void ZmodemSession::OnFinished(int exitCode, QProcess::ExitStatus status) {
    if (!process_) return;
    OnOutput();
    OnReport();
    const bool done = status == QProcess::NormalExit && exitCode == 0 && !cancelled_;
    process_->disconnect(this);
    process_.release()->deleteLater();
    progress_.reset();
    if (cancelled_) {
        draining_ = true;
        drainingFor_.start();
        quiet_.start();
        return;
    }
    terminal_.EndTransfer();
    if (!done) return Say("ZMODEM transfer failed");
    for (const TransferProgress& file : files_) {
        Say((receiving_ ? "Received " : "Sent ") + file.file + " (" + std::to_string(file.total) +
            " bytes)");
    }
}

void ZmodemSession::Drain() {
    if (drainingFor_.elapsed() < kMostDrainMs) quiet_.start();
}

void ZmodemSession::EndDrain() {
    draining_ = false;
    terminal_.EndTransfer();
    Say("ZMODEM transfer cancelled");
}

void ZmodemSession::Say(const std::string& line) {
    const bool midLine = terminal_.View().CursorColumn() > 0;
    terminal_.WriteLocal((midLine ? "\r\n" : "") + line + "\r\n");
}

std::optional<QString> AskReceiveFolder(QWidget* owner, const QString& folder) {
    QDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("Receive Files"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("The host sends files. Save them in:")));
    auto* row = new QHBoxLayout;
    auto* edit = new QLineEdit(folder);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."));
    row->addWidget(edit);
    row->addWidget(browse);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->addButton(QStringLiteral("&Receive"), QDialogButtonBox::AcceptRole);
    layout->addWidget(buttons);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, edit] {
        const QString chosen = QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Receive Files"),
                                                                 edit->text());
        if (!chosen.isEmpty()) edit->setText(chosen);
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted || edit->text().isEmpty()) return std::nullopt;
    return edit->text();
}

QStringList AskFilesToSend(QWidget* owner) {
    return QFileDialog::getOpenFileNames(owner, QStringLiteral("Send Files (ZMODEM)"));
}

ZmodemHooks DesktopZmodemHooks() {
    return {AskReceiveFolder, AskFilesToSend,
            [](const QString& program) { return QStandardPaths::findExecutable(program); }};
}

}  // namespace quill
