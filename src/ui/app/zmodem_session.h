#pragma once

#include <QObject>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/engine/terminal.h"
#include "core/settings/settings_store.h"
#include "core/transfer/lrzsz_progress.h"
#include "ui/resources/message_box.h"

class QProgressDialog;
class QWidget;

namespace quill {

// What a transfer asks of the user; tests give their own.
struct ZmodemHooks {
    // The "Receive Files" dialog: the folder to save into, none when cancelled.
    std::function<std::optional<QString>(QWidget* owner, const QString& folder)> chooseFolder;
    // The files to send, none (empty) when cancelled.
    std::function<QStringList(QWidget* owner)> chooseFiles;
    // Where rz and sz are looked for (a test may name a folder of its own).
    std::function<QString(const QString& program)> findProgram;
};

// The window's ZMODEM transfers, run by lrzsz's rz and sz as child
// processes whose input and output are bridged to the connection. The
// terminal tells it of a transfer the host starts; Send Files starts one.
class ZmodemSession final : public QObject, private TransferSink {
  public:
    ZmodemSession(QWidget& owner, Terminal& terminal, SettingsStore& store,
                  MessageBoxFunction messageBox, ZmodemHooks hooks);
    ~ZmodemSession() override;
    ZmodemSession(const ZmodemSession&) = delete;
    ZmodemSession& operator=(const ZmodemSession&) = delete;

    // Connection -> Send Files (ZMODEM).
    void SendFiles();
    // The progress dialog's Cancel: both ends give up.
    void Cancel();
    // Until the host's data of a cancelled transfer has stopped too.
    bool Running() const { return process_ != nullptr || draining_; }
    // The progress dialog while a transfer runs.
    QProgressDialog* ProgressDialog() const { return progress_.get(); }

    // The options rz runs with (see the manual page).
    static QStringList ReceiveArguments();

  private:
    void TransferStarted(ZmodemStart kind) override;
    void TransferData(std::span<const std::uint8_t> data) override;
    void Ask(ZmodemStart kind);
    bool HasProgram(const QString& program);
    void Start(const QString& program, const QStringList& arguments, const QString& folder);
    void Abort();
    void OnOutput();
    void OnReport();
    void OnFinished(int exitCode, QProcess::ExitStatus status);
    void StartSending(const QStringList& files);
    void ShowProgress();
    void Say(const std::string& line);
    void Drain();
    void EndDrain();

    QWidget& owner_;
    Terminal& terminal_;
    SettingsStore& store_;
    MessageBoxFunction messageBox_;
    ZmodemHooks hooks_;
    bool receiving_ = false;
    bool cancelled_ = false;
    // After a cancel the host's data still in flight is dropped until it
    // stops for a moment (or after a few seconds at most), so that none of
    // it reaches the screen.
    bool draining_ = false;
    QTimer quiet_;
    QElapsedTimer drainingFor_;
    // The host's data before the child runs.
    std::vector<std::uint8_t> waiting_;
    std::unique_ptr<QProcess> process_;
    std::unique_ptr<QProgressDialog> progress_;
    LrzszProgressReader reader_;
    QElapsedTimer sinceShown_;
    // Each file the report named, with its size.
    std::vector<TransferProgress> files_;
};

// The Receive Files dialog: a folder, Browse, Receive and Cancel.
std::optional<QString> AskReceiveFolder(QWidget* owner, const QString& folder);
// Send Files: an open dialog for several files.
QStringList AskFilesToSend(QWidget* owner);
// The hooks that ask the user and find the programs on the PATH.
ZmodemHooks DesktopZmodemHooks();

}  // namespace quill
