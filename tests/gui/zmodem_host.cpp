#include "zmodem_host.h"

#include "scripted_server.h"

namespace quill::test {
namespace {

constexpr char kIac = '\xff';
constexpr char kCr = '\r';
constexpr int kWaitMs = 5000;
constexpr unsigned char kWill = 251;
constexpr unsigned char kWont = 252;
constexpr unsigned char kDo = 253;
constexpr unsigned char kDont = 254;
constexpr unsigned char kBinary = 0;

}  // namespace

ZmodemHost::ZmodemHost(bool telnet) : telnet_(telnet) {
    server_.listen(QHostAddress::LocalHost);
}

ZmodemHost::~ZmodemHost() {
    if (program_) {
        program_->disconnect();
        program_->kill();
        program_->waitForFinished(kWaitMs);
    }
}

bool ZmodemHost::WaitForClient() {
    if (!PumpUntil([this] { return server_.hasPendingConnections(); })) return false;
    client_ = server_.nextPendingConnection();
    QObject::connect(client_, &QTcpSocket::readyRead, client_, [this] { OnClientData(); });
    return true;
}

void ZmodemHost::OfferBinary() {
    client_->write(QByteArray("\xff\xfb\x00\xff\xfd\x00", 6));
}

// What Telnet's data puts on the wire for `bytes`: IAC doubled, and CR NUL
// while the client has not taken BINARY.
QByteArray ZmodemHost::ToTelnet(const QByteArray& bytes) const {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 32);
    for (const char b : bytes) {
        out.append(b);
        if (b == kIac) out.append(kIac);
        if (b == kCr && !binaryToClient_) out.append('\0');
    }
    return out;
}

void ZmodemHost::Send(const QByteArray& text) {
    client_->write(telnet_ ? ToTelnet(text) : text);
}

void ZmodemHost::Run(const QString& program, const QStringList& arguments, const QString& folder) {
    if (program_) program_->disconnect();
    program_ = std::make_unique<QProcess>();
    program_->setWorkingDirectory(folder);
    program_->setProcessChannelMode(QProcess::SeparateChannels);
    program_->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(program_.get(), &QProcess::readyReadStandardOutput, program_.get(),
                     [this] { OnProgramOutput(); });
    program_->start(program, arguments);
    program_->waitForStarted(kWaitMs);
}

bool ZmodemHost::Running() const {
    return program_ && program_->state() != QProcess::NotRunning;
}

void ZmodemHost::OnProgramOutput() {
    if (client_) Send(program_->readAllStandardOutput());
}

void ZmodemHost::OnClientData() {
    const QByteArray data = FromClient(client_->readAll());
    if (Running()) {
        program_->write(data);
    } else {
        received_ += data;
    }
}

// Doubled IACs undone, a client's Telnet commands taken out (an option's
// three bytes, another command's two), the NUL after a CR dropped while the
// client sends without BINARY.
QByteArray ZmodemHost::FromClient(const QByteArray& bytes) {
    if (!telnet_) return bytes;
    QByteArray out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto code = static_cast<unsigned char>(b);
        if (command_ != 0) {
            ClientOption(command_, code);
            command_ = 0;
            continue;
        }
        if (afterIac_) {
            afterIac_ = false;
            if (b != kIac) {
                if (code >= kWill && code <= kDont) command_ = code;
                continue;
            }
        } else if (b == kIac) {
            afterIac_ = true;
            continue;
        }
        const bool dropped = afterCr_ && b == '\0' && !binaryFromClient_;
        afterCr_ = b == kCr;
        if (!dropped) out.append(b);
    }
    return out;
}

// DO BINARY: the client reads binary data; WILL BINARY: it sends it.
void ZmodemHost::ClientOption(unsigned char code, unsigned char option) {
    if (option != kBinary) return;
    if (code == kDo || code == kDont) binaryToClient_ = code == kDo;
    if (code == kWill || code == kWont) binaryFromClient_ = code == kWill;
}

}  // namespace quill::test
