#include "scripted_server.h"

#include <sys/socket.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QThread>

namespace quill::test {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

ScriptedServer::ScriptedServer(const QHostAddress& address) {
    server_.listen(address, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
        client_ = server_.nextPendingConnection();
        QObject::connect(client_, &QTcpSocket::readyRead, client_,
                         [this] { received_ += client_->readAll(); });
    });
}

ScriptedServer::~ScriptedServer() {
    if (client_) client_->abort();
    server_.close();
}

bool ScriptedServer::WaitForClient(int timeoutMs) {
    return PumpUntil([this] { return !client_.isNull(); }, timeoutMs);
}

void ScriptedServer::Send(const QByteArray& bytes) {
    if (!client_) return;
    client_->write(bytes);
    client_->flush();
}

void ScriptedServer::SendUrgent(const QByteArray& bytes) {
    if (!client_) return;
    client_->waitForBytesWritten(1000);
    ::send(static_cast<int>(client_->socketDescriptor()), bytes.constData(),
           static_cast<std::size_t>(bytes.size()), MSG_OOB);
}

void ScriptedServer::TakeUrgentDataOutOfBand() {
    if (!client_) return;
    const int off = 0;
    ::setsockopt(static_cast<int>(client_->socketDescriptor()), SOL_SOCKET, SO_OOBINLINE, &off,
                 sizeof off);
}

void ScriptedServer::PauseReading(bool paused) {
    if (!client_) return;
    client_->setReadBufferSize(paused ? 1 : 0);
    if (!paused) received_ += client_->readAll();
}

void ScriptedServer::Close() {
    if (client_) client_->disconnectFromHost();
}

void ScriptedServer::EndSending() {
    if (!client_) return;
    client_->flush();
    ::shutdown(static_cast<int>(client_->socketDescriptor()), SHUT_WR);
}

bool ScriptedServer::WaitForBytes(qsizetype count, int timeoutMs) {
    return PumpUntil([this, count] { return received_.size() >= count; }, timeoutMs);
}

bool ScriptedServer::ClientGone() const {
    return !client_ || client_->state() == QAbstractSocket::UnconnectedState;
}

}  // namespace quill::test
