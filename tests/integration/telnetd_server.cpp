#include "telnetd_server.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include "process_group.h"
#include "scripted_server.h"

namespace quill::test {

namespace {

constexpr char kTelnetd[] = "/usr/sbin/telnetd";

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}  // namespace

TelnetdServer::TelnetdServer() = default;

TelnetdServer::~TelnetdServer() {
    StopProcessGroup(socat_);
}

QString TelnetdServer::Missing() {
    if (QStandardPaths::findExecutable("socat").isEmpty()) return "socat is not installed";
    if (!QFileInfo(kTelnetd).isExecutable()) return "inetutils-telnetd is not installed";
    return {};
}

bool TelnetdServer::Start() {
    const QString program = dir_.filePath("shell");
    QFile script(program);
    if (!script.open(QIODevice::WriteOnly)) return false;
    script.write("#!/bin/sh\nexec /bin/sh -i\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    port_ = FreePort();
    socat_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    InOwnProcessGroup(socat_);
    socat_.start("socat", {QString("TCP4-LISTEN:%1,bind=127.0.0.1,reuseaddr,fork").arg(port_),
                           QString("EXEC:%1 -E %2,nofork").arg(kTelnetd, program)});
    if (!socat_.waitForStarted(3000)) return false;
    // Listening once a connection is accepted; that probe's telnetd just ends.
    return PumpUntil(
        [this] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port_);
            const bool up = probe.waitForConnected(100);
            probe.abort();
            return up;
        },
        5000);
}

}  // namespace quill::test
