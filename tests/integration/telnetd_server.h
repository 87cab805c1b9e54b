#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace quill::test {

// GNU inetutils telnetd on 127.0.0.1, started per connection by socat, with a
// login program that runs an interactive shell (no password). Stopped, by its
// process id, when the object goes.
class TelnetdServer {
  public:
    TelnetdServer();
    ~TelnetdServer();

    // Why the server cannot run here, or empty when it can.
    static QString Missing();
    // Starts it on a free port; false when it did not come up.
    bool Start();
    quint16 Port() const { return port_; }

  private:
    QTemporaryDir dir_;
    QProcess socat_;
    quint16 port_ = 0;
};

}  // namespace quill::test
