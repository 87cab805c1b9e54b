#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace quill::test {

// A loopback host that runs lrzsz itself: it accepts one client and, when
// told, starts sz or rz with their input and output bridged to the
// connection (as Telnet data, IAC doubled and CR NUL both ways, or as raw
// TCP). The connection stays open when the program ends, so the session
// can be seen to go on. It runs on the test's own event loop.
class ZmodemHost {
  public:
    explicit ZmodemHost(bool telnet);
    ~ZmodemHost();

    quint16 Port() const { return server_.serverPort(); }
    bool WaitForClient();
    // Text for the client's screen, sent as data.
    void Send(const QByteArray& text);
    void Run(const QString& program, const QStringList& arguments, const QString& folder);
    bool Running() const;
    int ExitCode() const { return program_ ? program_->exitCode() : -1; }
    // What the client sent while no program ran, Telnet taken out.
    const QByteArray& Received() const { return received_; }

  private:
    void OnClientData();
    void OnProgramOutput();
    QByteArray FromClient(const QByteArray& bytes);

    const bool telnet_;
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    std::unique_ptr<QProcess> program_;
    QByteArray received_;
    bool afterCr_ = false;
    bool afterIac_ = false;
    int commandLeft_ = 0;  // bytes of a Telnet command still to skip
};

}  // namespace quill::test
