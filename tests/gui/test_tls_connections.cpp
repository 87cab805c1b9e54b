// Connections over TLS, offscreen, against socat ending TLS in front of a
// scripted host: the certificate questions and what each answer does, the
// TLS Error box, and Connection Information.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "core/settings/trusted_certificates.h"
#include "log_files.h"
#include "session_fixture.h"
#include "tls_peer.h"
#include "ui/dialogs/password_dialog.h"

namespace quill::test {
namespace {

// What inetutils telnetd sends first: DO TERMINAL-TYPE, TSPEED, XDISPLOC,
// NEW-ENVIRON.
const QByteArray kTelnetGreeting("\xff\xfd\x18\xff\xfd\x20\xff\xfd\x23\xff\xfd\x27", 12);

class TlsConnectionTest : public SessionTest {
  protected:
    TlsConnectionTest() { Remake(kHandshakeTime); }

    // The program again, with this handshake time.
    void Remake(std::chrono::milliseconds handshakeTime) {
        hooks.certificateQuestion = [this](QWidget*, const CertificateQuestion& question) {
            questions.push_back(question);
            return answer;
        };
        hooks.handshakeTime = handshakeTime;
        app = std::make_unique<Application>(store, hooks);
    }

    // The scripted host speaks Telnet in clear text as soon as a client comes.
    void GreetInClearText() {
        greeter.callOnTimeout([this] {
            if (host.ClientGone()) return;
            host.Send(kTelnetGreeting);
            greeter.stop();
        });
        greeter.start(10);
    }

    // What the host received is one TLS handshake record: the ClientHello.
    static bool OneHandshakeRecord(const QByteArray& bytes) {
        if (bytes.size() < 5 || bytes[0] != 0x16) return false;
        const int length = (static_cast<quint8>(bytes[3]) << 8) | static_cast<quint8>(bytes[4]);
        return bytes.size() == 5 + length;
    }

    void SetUp() override {
        if (const QString missing = TestCertificates::Missing(); !missing.isEmpty()) {
            GTEST_SKIP() << missing.toStdString();
        }
    }

    // socat with this certificate in front of the scripted host.
    void StartPeer(const QString& certificate) {
        ASSERT_FALSE(certificate.isEmpty());
        ASSERT_TRUE(peer.Start(certificate, host.Port()));
    }

    int StartUpTls() { return StartUp({"--tls", "127.0.0.1", std::to_string(peer.Port())}); }

    std::optional<std::string> Remembered() {
        return RememberedFingerprint(store, "127.0.0.1", peer.Port());
    }

    TestCertificates certificates;
    TlsPeer peer;
    std::vector<CertificateQuestion> questions;
    TrustAnswer answer = TrustAnswer::kCancel;
    QTimer greeter;
};

TEST_F(TlsConnectionTest, ASelfSignedHostAsksAndTrustRemembersItsFingerprint) {
    const QString certificate = certificates.SelfSigned("host");
    StartPeer(certificate);
    answer = TrustAnswer::kTrust;
    ASSERT_EQ(StartUpTls(), Application::kStarted);
    ASSERT_EQ(questions.size(), 1u);
    const CertificateQuestion& q = questions[0];
    EXPECT_EQ(q.kind, CertificateVerdict::kUntrusted);
    EXPECT_EQ(q.host, "127.0.0.1");
    EXPECT_EQ(q.port, peer.Port());
    EXPECT_FALSE(q.errors.isEmpty());
    EXPECT_EQ(q.presented.subject, "CN=host");
    EXPECT_EQ(q.presented.fingerprint, TestCertificates::Fingerprint(certificate));
    EXPECT_EQ(Remembered(), q.presented.fingerprint.toStdString());
    EXPECT_TRUE(boxes.empty());

    // The session runs inside TLS as on a plain connection.
    ASSERT_TRUE(host.WaitForClient());
    EXPECT_TRUE(FromHost("Welcome over TLS\r\n", "Welcome over TLS"));
    EXPECT_EQ(SentBy([this] { Window().OnCharacter(U'x'); }), "x");
    Window().OnCommand(CommandId::kConnectionInformation);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Connection Information");
    EXPECT_TRUE(boxes[0].text.contains("TLS 1.3")) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(q.presented.fingerprint));
    EXPECT_TRUE(boxes[0].text.contains("trusted by you"));
}

TEST_F(TlsConnectionTest, ARememberedCertificateConnectsWithoutAQuestion) {
    const QString certificate = certificates.SelfSigned("host");
    StartPeer(certificate);
    RememberFingerprint(store, "127.0.0.1", peer.Port(),
                        TestCertificates::Fingerprint(certificate).toStdString());
    ASSERT_EQ(StartUpTls(), Application::kStarted);
    EXPECT_TRUE(questions.empty());
    ASSERT_TRUE(host.WaitForClient());
}

// Over TLS Synch goes inline (urgent data would cut into the TLS records),
// and the extended terminal's MTTS counts the encryption.
TEST_F(TlsConnectionTest, SynchGoesInlineAndMttsSaysTheConnectionIsEncrypted) {
    const QString certificate = certificates.SelfSigned("host");
    StartPeer(certificate);
    RememberFingerprint(store, "127.0.0.1", peer.Port(),
                        TestCertificates::Fingerprint(certificate).toStdString());
    SetSetting("extended", "1");
    ASSERT_EQ(StartUpTls(), Application::kStarted);
    ASSERT_TRUE(host.WaitForClient());
    EXPECT_EQ(SentBy([this] { Window().OnCommand(CommandId::kSendSynch); }), "\xff\xf2");
    const QByteArray send("\xff\xfa\x18\x01\xff\xf0", 6);
    host.Send(QByteArray("\xff\xfd\x18", 3) + send + send);
    EXPECT_TRUE(PumpUntil([this] { return host.Received().contains("MTTS 2367"); }))
        << host.Received().toHex().toStdString();
}

// The session log holds what the host sent as the Telnet layer got it:
// decrypted, with its timing.
TEST_F(TlsConnectionTest, ConnectOnceRemembersNothingAndTheLogHoldsTheDecryptedBytes) {
    QTemporaryDir folder;
    const QString log = folder.filePath("tls.log");
    hooks.logAtConnect = log;
    Remake(kHandshakeTime);
    StartPeer(certificates.SelfSigned("host"));
    answer = TrustAnswer::kOnce;
    ASSERT_EQ(StartUpTls(), Application::kStarted);
    EXPECT_EQ(questions.size(), 1u);
    ASSERT_TRUE(host.WaitForClient());
    EXPECT_FALSE(Remembered());
    const QByteArray sent("\xff\xfb\x01plain text inside TLS\r\n", 26);
    ASSERT_TRUE(FromHost(sent, "plain text inside TLS"));
    Window().OnCommand(CommandId::kLogSession);  // closes the log
    EXPECT_EQ(ReadAll(log), sent);
    EXPECT_EQ(TimedBytes(log + ".timing"), sent.size());
}

// Nothing passes TLS before the answer: socat reaches the host only once the
// handshake is finished, and Cancel never lets it finish.
TEST_F(TlsConnectionTest, AChangedCertificateWarnsAndCancelEndsAsAFailedConnection) {
    StartPeer(certificates.SelfSigned("host"));
    const std::string old = std::string(kSha256Bytes * 2, 'A');
    RememberFingerprint(store, "127.0.0.1", peer.Port(), old);
    answer = TrustAnswer::kCancel;
    EXPECT_EQ(StartUpTls(), 4);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].kind, CertificateVerdict::kChanged);
    EXPECT_EQ(questions[0].remembered.toStdString(), *ReadFingerprint(old));
    EXPECT_TRUE(boxes.empty()) << boxes[0].title.toStdString();
    EXPECT_FALSE(host.WaitForClient(500));
    EXPECT_EQ(Remembered(), ReadFingerprint(old)) << "the old one stays";
}

TEST_F(TlsConnectionTest, AClearTextHostGivesOneTlsErrorBoxAndNothingAfterTheClientHello) {
    GreetInClearText();
    EXPECT_EQ(StartUp({"--tls", "127.0.0.1", std::to_string(host.Port())}), 4);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "TLS Error");
    EXPECT_FALSE(boxes[0].text.isEmpty());
    EXPECT_FALSE(boxes[0].text.contains("in time")) << "refused, not waited out";
    EXPECT_TRUE(questions.empty());
    // Everything the program sent has arrived once its side is closed.
    EXPECT_TRUE(PumpUntil([this] { return host.ClientGone(); }));
    EXPECT_TRUE(OneHandshakeRecord(host.Received())) << host.Received().toHex().toStdString();
}

TEST_F(TlsConnectionTest, AHandshakeThatTakesLongerThanItsTimeFails) {
    Remake(std::chrono::milliseconds(300));
    EXPECT_EQ(StartUp({"--tls", "127.0.0.1", std::to_string(host.Port())}), 4);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "TLS Error");
    EXPECT_TRUE(boxes[0].text.contains("in time"));
}

TEST_F(TlsConnectionTest, ThePasswordDialogSaysThePasswordTravelsEncrypted) {
    QTemporaryDir folder;
    const QString script = folder.filePath("p.qs");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("password \"root\"\n");
    file.close();
    StartPeer(certificates.SelfSigned("host"));
    answer = TrustAnswer::kOnce;
    ASSERT_EQ(StartUp({"--script", script.toStdString(), "--tls", "127.0.0.1",
                       std::to_string(peer.Port())}),
              Application::kStarted);
    ASSERT_TRUE(host.WaitForClient());
    PasswordDialog* dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        dialog = Window().findChild<PasswordDialog*>();
        return dialog != nullptr;
    }));
    QStringList lines;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) lines << label->text();
    EXPECT_TRUE(lines.contains("The password will travel encrypted (TLS)."))
        << lines.join('|').toStdString();
    dialog->reject();
}

TEST_F(TlsConnectionTest, AnAuthorityTheProgramTrustsConnectsWithoutAQuestion) {
    const QString authority = certificates.Authority();
    ASSERT_FALSE(authority.isEmpty());
    StartPeer(certificates.SignedByAuthority("host"));
    qputenv("SSL_CERT_FILE", authority.toLocal8Bit());
    const int started = StartUpTls();
    qunsetenv("SSL_CERT_FILE");
    ASSERT_EQ(started, Application::kStarted);
    EXPECT_TRUE(questions.empty());
    ASSERT_TRUE(host.WaitForClient());
    Window().OnCommand(CommandId::kConnectionInformation);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("verified by a trusted authority"));
    EXPECT_FALSE(Remembered());
}

TEST_F(TlsConnectionTest, AClearTextConnectionSaysSoInOneLine) {
    Connect();
    Window().OnCommand(CommandId::kConnectionInformation);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("in clear text"));
    EXPECT_FALSE(boxes[0].text.contains('\n'));
}

}  // namespace
}  // namespace quill::test
