#include "tls_peer.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include "process_group.h"
#include "scripted_server.h"

namespace quill::test {
namespace {

const QString kSubjectAltName = QStringLiteral("subjectAltName=IP:127.0.0.1");

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

QString TestCertificates::Missing() {
    for (const char* tool : {"openssl", "socat"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            return QString("%1 is not installed").arg(tool);
        }
    }
    return {};
}

bool TestCertificates::Openssl(const QStringList& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(dir_.path());
    openssl.start("openssl", arguments);
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

// socat takes the certificate and its key from one file.
QString TestCertificates::Combined(const QString& name) {
    const QString path = dir_.filePath(name + ".pem");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(Read(dir_.filePath(name + ".crt")) + Read(dir_.filePath(name + ".key")));
    return path;
}

QString TestCertificates::SelfSigned(const QString& name) {
    if (!Openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out",
                  name + ".crt", "-days", "2", "-subj", "/CN=" + name, "-addext",
                  kSubjectAltName})) {
        return {};
    }
    return Combined(name);
}

QString TestCertificates::Authority() {
    if (!Openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out",
                  "ca.crt", "-days", "2", "-subj", "/CN=Quillterm Test Authority"})) {
        return {};
    }
    return dir_.filePath("ca.crt");
}

QString TestCertificates::SignedByAuthority(const QString& name) {
    QFile extensions(dir_.filePath(name + ".ext"));
    if (!extensions.open(QIODevice::WriteOnly)) return {};
    extensions.write(kSubjectAltName.toLatin1() + "\n");
    extensions.close();
    if (!Openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out",
                  name + ".csr", "-subj", "/CN=127.0.0.1"}) ||
        !Openssl({"x509", "-req", "-in", name + ".csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                  "-CAcreateserial", "-days", "2", "-out", name + ".crt", "-extfile",
                  name + ".ext"})) {
        return {};
    }
    return Combined(name);
}

QString TestCertificates::Fingerprint(const QString& pem) {
    QProcess openssl;
    openssl.start("openssl", {"x509", "-noout", "-fingerprint", "-sha256", "-in", pem});
    if (!openssl.waitForFinished(10000)) return {};
    // "sha256 Fingerprint=AB:CD:..."
    return QString::fromLatin1(openssl.readAllStandardOutput()).section('=', 1).trimmed();
}

TlsPeer::~TlsPeer() {
    StopProcessGroup(socat_);
}

// socat -d -d names the port the kernel gave it once it listens.
bool TlsPeer::Start(const QString& certificate, quint16 backendPort) {
    InOwnProcessGroup(socat_);
    socat_.start("socat", {"-d", "-d",
                           QString("OPENSSL-LISTEN:0,bind=127.0.0.1,reuseaddr,fork,cert=%1,"
                                   "verify=0")
                               .arg(certificate),
                           QString("TCP:127.0.0.1:%1").arg(backendPort)});
    if (!socat_.waitForStarted(3000)) return false;
    // What it logs per connection is drained, so that it never blocks on it.
    QObject::connect(&socat_, &QProcess::readyReadStandardError,
                     [this] { log_ += socat_.readAllStandardError(); });
    static const QRegularExpression listening("listening on AF=2 127\\.0\\.0\\.1:(\\d+)");
    return PumpUntil(
               [this] {
                   const QRegularExpressionMatch match = listening.match(QString::fromLatin1(log_));
                   if (match.hasMatch()) port_ = static_cast<quint16>(match.captured(1).toUInt());
                   return port_ != 0 || socat_.state() != QProcess::Running;
               },
               10000) &&
           port_ != 0;
}

}  // namespace quill::test
