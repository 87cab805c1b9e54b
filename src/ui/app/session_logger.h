#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/session/session_log.h"
#include "ui/resources/message_box.h"

class QWidget;

namespace quill {

// The save dialog of the Log Session command: the chosen path, or none.
using ChooseLogFileFunction =
    std::function<std::optional<QString>(QWidget* owner, const QString& suggested)>;

struct SessionLoggerHooks {
    MessageBoxFunction messageBox;
    // Nothing is asked, and no log started, while it is empty.
    ChooseLogFileFunction chooseFile;
    std::function<std::chrono::steady_clock::time_point()> clock;
    // Whether a log is being written now: the menu item's check mark.
    std::function<void(bool logging)> showLogging;
};

// The window's session log: the Log Session command starts it (asking for a
// file) or stops it; every block read from the socket is recorded before it
// is interpreted, and handed to the system when the read event ends. A file that cannot be created
// or written shows a "Log Session" box with the path and the system's reason; a failed write stops
// the log first and shows its box only after the read has finished.
class SessionLogger {
  public:
    SessionLogger(QWidget& owner, SessionLoggerHooks hooks);

    // The menu command: stops the log that is open, or asks for a file and
    // starts one there.
    void Toggle(const std::string& host);
    // Starts a log at `path`; a box says so when it cannot be created.
    void Start(const QString& path);
    void Stop();
    // One block as read from the socket.
    void Record(const std::uint8_t* bytes, int count) {
        if (log_) Write(bytes, count);
    }
    // The read event is over: what it recorded goes to the system.
    void Flush();
    bool Logging() const { return log_ != nullptr; }

  private:
    void Write(const std::uint8_t* bytes, int count);
    void WriteFailed(const LogFault& fault);

    QWidget& owner_;
    SessionLoggerHooks hooks_;
    std::unique_ptr<SessionLog> log_;
};

}  // namespace quill
