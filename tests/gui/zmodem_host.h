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
// TCP). Over Telnet it may offer BINARY both ways; each direction the client
// takes goes without CR NUL from then on. The connection stays open when the program ends, so the session
// can be seen to go on. It runs on the test's own event loop.
class ZmodemHost {
  public:
    explicit ZmodemHost(bool telnet);
    ~ZmodemHost();

    quint16 Port() const { return server_.serverPort(); }
    bool WaitForClient();
    // IAC WILL BINARY and IAC DO BINARY; BinaryTaken once the client said DO
    // and WILL.
    void OfferBinary();
    bool BinaryTaken() const { return binaryToClient_ && binaryFromClient_; }
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
    QByteArray ToTelnet(const QByteArray& bytes) const;
    void ClientOption(unsigned char code, unsigned char option);

    const bool telnet_;
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    std::unique_ptr<QProcess> program_;
    QByteArray received_;
    bool afterCr_ = false;
    bool afterIac_ = false;
    unsigned char command_ = 0;  // the client's option command being read
    bool binaryToClient_ = false;
    bool binaryFromClient_ = false;
};

}  // namespace quill::test
