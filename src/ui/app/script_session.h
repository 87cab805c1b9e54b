#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/engine/terminal.h"
#include "core/script/script_runner.h"
#include "ui/resources/message_box.h"
#include "ui/script/keyring.h"

class QWidget;

namespace quill {

class PasswordDialog;

// The "Run Script" open dialog: the chosen path, or none.
using ChooseScriptFileFunction = std::function<std::optional<QString>(QWidget* owner)>;

struct ScriptSessionHooks {
    MessageBoxFunction messageBox;
    // Nothing is asked, and no script started by hand, while it is empty.
    ChooseScriptFileFunction chooseFile;
    std::function<std::chrono::steady_clock::time_point()> clock;
    // Whether a script runs now: the menu item's check mark.
    std::function<void(bool running)> showRunning;
    // Where `password` looks first; none: there is no keyring.
    std::shared_ptr<Keyring> keyring;
    // Whether what is sent travels encrypted (TLS): the Password dialog says so.
    std::function<bool()> encrypted;
};

// The window's session script: started when the connection is made (from
// the command line or the `scripts` settings) or by the Run Script command,
// which stops it again. It runs between events on a timer; its boxes are
// titled "Script" and their text also goes to standard error. Passwords come
// from the keyring, else from the Password dialog.
class ScriptSession final : public ScriptHost {
  public:
    ScriptSession(QWidget& owner, Terminal& terminal, SendPath& send,
                  const TerminalOptions& options, ScriptSessionHooks hooks);
    ~ScriptSession() override;
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // The menu command: stops the script that runs, or asks for a file and
    // runs it, counting the text on the cursor's row as just arrived.
    void Toggle(const std::string& host);
    // Runs a checked script for `host`, from the first byte the host sends.
    void Start(Script script, const std::string& host);
    // Reads, checks and runs the script at `path`; a box says what is wrong.
    void StartFile(const QString& path, const std::string& host);
    // Ends the script quietly (the connection closed).
    void Stop();
    bool Running() const { return runner_ && runner_->Running(); }

    // Boxes titled "Script", the text also on standard error.
    void Report(const QString& text);

    void WakeAt(std::chrono::steady_clock::time_point when) override;
    void ShowMessage(const std::string& text) override;
    void RequestPassword(const std::string& name) override;
    void Finished() override;

  private:
    void Begin(Script script, const std::string& host, const std::u32string& shown);
    void AskPassword(const std::string& name, bool keyringAvailable, int ticket);
    void PasswordAnswered(int ticket, bool keyringAvailable);
    bool Current(int ticket) const {
        return ticket == ticket_ && runner_ && runner_->WaitingForPassword();
    }

    QWidget& owner_;
    Terminal& terminal_;
    SendPath& send_;
    const TerminalOptions& options_;
    ScriptSessionHooks hooks_;
    QTimer wake_;
    std::unique_ptr<ScriptRunner> runner_;
    std::string host_;
    // Each password request has its ticket; an answer to an older one is dropped.
    int ticket_ = 0;
    std::string passwordKey_;
    QPointer<PasswordDialog> dialog_;
};

}  // namespace quill
