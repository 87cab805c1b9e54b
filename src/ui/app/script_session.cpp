#include "ui/app/script_session.h"

#include <QTimer>
#include <cstdio>

#include "core/script/cursor_row_text.h"
#include "core/script/host_key.h"
#include "core/script/script_output.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/script/script_file.h"

namespace quill {

namespace {

const QString kTitle = QStringLiteral("Script");

}  // namespace

ScriptSession::ScriptSession(QWidget& owner, Terminal& terminal, SendPath& send,
                             const TerminalOptions& options, ScriptSessionHooks hooks)
    : owner_(owner), terminal_(terminal), send_(send), options_(options), hooks_(std::move(hooks)) {
    wake_.setSingleShot(true);
    QObject::connect(&wake_, &QTimer::timeout, &owner_, [this] {
        if (runner_) runner_->Run();
    });
}

ScriptSession::~ScriptSession() {
    terminal_.SetPrintedTextSink(nullptr);
    delete dialog_;
}

void ScriptSession::Toggle(const std::string& host) {
    if (Running()) {
        Stop();
    } else if (hooks_.chooseFile) {
        if (const std::optional<QString> path = hooks_.chooseFile(&owner_)) {
            LoadedScript loaded = LoadScript(*path);
            if (loaded.script) {
                Begin(std::move(*loaded.script), host, CursorRowText(terminal_.View()));
            } else {
                Report(loaded.fault);
            }
        }
    }
    // A menu item that is clicked flips its own mark; it shows the truth again.
    hooks_.showRunning(Running());
}

void ScriptSession::Start(Script script, const std::string& host) {
    Begin(std::move(script), host, {});
}

void ScriptSession::StartFile(const QString& path, const std::string& host) {
    LoadedScript loaded = LoadScript(path);
    if (!loaded.script) {
        Report(loaded.fault);
        return;
    }
    Start(std::move(*loaded.script), host);
}

void ScriptSession::Begin(Script script, const std::string& host, const std::u32string& shown) {
    Stop();
    host_ = host;
    runner_ = std::make_unique<ScriptRunner>(std::move(script), terminal_, send_, options_,
                                             *this, hooks_.clock);
    runner_->Preload(shown);
    terminal_.SetPrintedTextSink(runner_.get());
    hooks_.showRunning(true);
    runner_->Run();
}

void ScriptSession::Stop() {
    if (runner_) runner_->Stop();
}

void ScriptSession::Report(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    hooks_.messageBox(&owner_, text, kTitle, QMessageBox::Warning);
}

void ScriptSession::WakeAt(std::chrono::steady_clock::time_point when) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - hooks_.clock());
    wake_.start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0)));
}

// Shown once the script's own step is over, as the program's other boxes
// are: the runner is never inside a box's event loop.
void ScriptSession::ShowMessage(const std::string& text) {
    const QString message = QString::fromStdString(text);
    QTimer::singleShot(0, &owner_, [this, message] { Report(message); });
}

void ScriptSession::Finished() {
    terminal_.SetPrintedTextSink(nullptr);
    wake_.stop();
    ++ticket_;
    if (PasswordDialog* dialog = dialog_) {
        dialog_ = nullptr;
        dialog->reject();
    }
    hooks_.showRunning(false);
}

// The keyring first; the dialog when it has nothing, or none answers.
void ScriptSession::RequestPassword(const std::string& name) {
    const int ticket = ++ticket_;
    passwordKey_ = name + "@" + ScriptHostKey(host_);
    if (!hooks_.keyring) {
        AskPassword(name, false, ticket);
        return;
    }
    hooks_.keyring->Find(passwordKey_, &owner_, [this, name, ticket](KeyringAnswer answer) {
        if (answer.secret && Current(ticket)) {
            runner_->ProvidePassword(*answer.secret);
        } else if (Current(ticket)) {
            AskPassword(name, answer.available, ticket);
        }
        if (answer.secret) ClearSecret(*answer.secret);
    });
}

void ScriptSession::AskPassword(const std::string& name, bool keyringAvailable, int ticket) {
    auto* dialog = new PasswordDialog(
        &owner_, QString::fromStdString(name), QString::fromStdString(host_), keyringAvailable,
        hooks_.encrypted && hooks_.encrypted());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog_ = dialog;
    QObject::connect(dialog, &QDialog::finished, &owner_, [this, ticket, keyringAvailable] {
        PasswordAnswered(ticket, keyringAvailable);
    });
    dialog->open();
}

void ScriptSession::PasswordAnswered(int ticket, bool keyringAvailable) {
    PasswordDialog* dialog = dialog_;
    dialog_ = nullptr;
    if (dialog == nullptr || !Current(ticket)) return;  // the script ended meanwhile
    if (dialog->result() != QDialog::Accepted) {
        runner_->PasswordRefused();
        return;
    }
    std::string password = dialog->TakePassword();
    if (keyringAvailable && dialog->Remember() && hooks_.keyring) {
        hooks_.keyring->Store(passwordKey_, password);
    }
    runner_->ProvidePassword(password);
}

}  // namespace quill
