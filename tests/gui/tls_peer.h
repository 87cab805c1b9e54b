#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace quill::test {

// Certificates made for a test with openssl, in a folder of their own.
class TestCertificates {
  public:
    // Why they cannot be made here (openssl or socat missing), or empty.
    static QString Missing();

    // A self-signed certificate for 127.0.0.1 and its key in one PEM file;
    // its path, empty when openssl failed.
    QString SelfSigned(const QString& name);
    // An authority (its certificate's path) and a certificate for 127.0.0.1
    // signed by it (certificate and key in one PEM file).
    QString Authority();
    QString SignedByAuthority(const QString& name);
    // The certificate's SHA-256 fingerprint as openssl prints it.
    static QString Fingerprint(const QString& pem);

  private:
    bool Openssl(const QStringList& arguments);
    QString Combined(const QString& name);

    QTemporaryDir dir_;
};

// Implicit TLS on 127.0.0.1 played by socat with a given certificate: each
// client's TLS is ended there and its plain bytes go on to a TCP port on
// 127.0.0.1 (a scripted host or telnetd). Stopped, with its children, when
// it goes.
class TlsPeer {
  public:
    ~TlsPeer();
    // Starts it on a free port; false when it did not come up.
    bool Start(const QString& certificate, quint16 backendPort);
    quint16 Port() const { return port_; }

  private:
    QProcess socat_;
    QByteArray log_;
    quint16 port_ = 0;
};

}  // namespace quill::test
