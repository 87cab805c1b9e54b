// The program over TLS under Xvfb, as a user runs it: socat ends TLS with a
// certificate the test made in front of telnetd or a scripted host, and the
// certificate boxes are answered with the keyboard.
#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "log_files.h"
#include "program_under_xvfb.h"
#include "scripted_server.h"
#include "telnetd_server.h"
#include "tls_peer.h"

namespace quill::test {
namespace {

const QByteArray kSettings = "[settings]\nautoexit=1\n";

class TlsUnderXvfbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const QString& missing : {ProgramUnderXvfb::Missing(), TestCertificates::Missing()}) {
            if (!missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
        }
    }

    QStringList TlsArguments() const {
        return {"--tls", "127.0.0.1", QString::number(peer.Port())};
    }

    // The shell behind TLS runs a command: its file appears.
    static bool ShellRuns(ProgramUnderXvfb& program) {
        const QString file = program.ConfigPath("ran");
        return PumpUntil(
            [&] {
                program.Xdotool({"type", "--delay", "20", QString("echo ok > %1").arg(file)});
                program.Xdotool({"key", "Return"});
                return PumpUntil([&] { return QFile::exists(file); }, 1500);
            },
            20000);
    }

    static void Logout(ProgramUnderXvfb& program) {
        program.Xdotool({"type", "--delay", "20", "exit"});
        program.Xdotool({"key", "Return"});
    }

    static bool Shows(const ProgramUnderXvfb& program, const QString& title) {
        return program.Xdotool({"search", "--name", "^" + title + "$"}) == 0;
    }

    TestCertificates certificates;
    TlsPeer peer;
};

TEST_F(TlsUnderXvfbTest, ASelfSignedHostAsksTrustRemembersAndTheNextConnectionAsksNothing) {
    if (const QString missing = TelnetdServer::Missing(); !missing.isEmpty()) {
        GTEST_SKIP() << missing.toStdString();
    }
    TelnetdServer telnetd;
    ASSERT_TRUE(telnetd.Start());
    const QString certificate = certificates.SelfSigned("host");
    ASSERT_TRUE(peer.Start(certificate, telnetd.Port()));

    QByteArray remembered;
    {
        ProgramUnderXvfb program;
        ASSERT_TRUE(program.Start(kSettings, TlsArguments()));
        ASSERT_TRUE(program.FocusWindow("Untrusted Certificate"))
            << program.Windows().toStdString();
        program.Xdotool({"key", "alt+t"});
        ASSERT_TRUE(program.FocusWindow("127.0.0.1")) << program.Windows().toStdString();
        ASSERT_TRUE(ShellRuns(program));
        Logout(program);
        EXPECT_EQ(program.WaitForExit(), 0);
        remembered = ReadAll(program.ConfigPath("Brannock/Quillterm.conf"));
    }
    const QString fingerprint = TestCertificates::Fingerprint(certificate);
    ASSERT_TRUE(remembered.contains("[certificates]")) << remembered.toStdString();
    ASSERT_TRUE(remembered.contains(fingerprint.toLatin1())) << remembered.toStdString();

    ProgramUnderXvfb again;
    ASSERT_TRUE(again.Start(remembered, TlsArguments()));
    // The title changes only once the connection is made: no question came first.
    ASSERT_TRUE(again.FocusWindow("127.0.0.1")) << again.Windows().toStdString();
    EXPECT_FALSE(Shows(again, "Untrusted Certificate"));
    ASSERT_TRUE(ShellRuns(again));
    Logout(again);
    EXPECT_EQ(again.WaitForExit(), 0);
}

// socat reaches the host only once the handshake is finished: a host that
// never sees a client got nothing from inside TLS.
TEST_F(TlsUnderXvfbTest, AChangedCertificateWarnsAndCancelSendsNothing) {
    ScriptedServer host;
    ASSERT_TRUE(peer.Start(certificates.SelfSigned("host"), host.Port()));
    const QByteArray old(64, 'A');
    const QByteArray settings = kSettings + "[certificates]\n127.0.0.1%3A" +
                                QByteArray::number(peer.Port()) + "=" + old + "\n";
    ProgramUnderXvfb program;
    ASSERT_TRUE(program.Start(settings, TlsArguments()));
    ASSERT_TRUE(program.FocusWindow("Certificate Changed")) << program.Windows().toStdString();
    program.Xdotool({"key", "Escape"});
    // A second box would keep the program from ending.
    EXPECT_EQ(program.WaitForExit(), 4);
    EXPECT_FALSE(host.WaitForClient(500));
    EXPECT_TRUE(ReadAll(program.ConfigPath("Brannock/Quillterm.conf")).contains(old));
}

TEST_F(TlsUnderXvfbTest, AClearTextServerGivesTheTlsErrorBoxAndGetsOnlyTheClientHello) {
    ScriptedServer host;
    ProgramUnderXvfb program;
    ASSERT_TRUE(program.Start(kSettings, {"--tls", "127.0.0.1", QString::number(host.Port())}));
    ASSERT_TRUE(host.WaitForClient(30000));
    ASSERT_TRUE(host.WaitForBytes(5, 15000));
    // What inetutils telnetd sends first: DO TERMINAL-TYPE, TSPEED, XDISPLOC, NEW-ENVIRON.
    host.Send(QByteArray("\xff\xfd\x18\xff\xfd\x20\xff\xfd\x23\xff\xfd\x27", 12));
    ASSERT_TRUE(program.FocusWindow("TLS Error")) << program.Windows().toStdString();
    program.Xdotool({"key", "Return"});
    EXPECT_EQ(program.WaitForExit(), 4);
    EXPECT_TRUE(PumpUntil([&] { return host.ClientGone(); }));
    const QByteArray& hello = host.Received();
    ASSERT_GE(hello.size(), 5);
    EXPECT_EQ(hello[0], 0x16) << "a TLS handshake record";
    const int length = (static_cast<quint8>(hello[3]) << 8) | static_cast<quint8>(hello[4]);
    EXPECT_EQ(hello.size(), 5 + length) << "nothing after the ClientHello";
}

TEST_F(TlsUnderXvfbTest, ACertificateOfAnAuthorityTheProgramTrustsConnectsWithoutAQuestion) {
    ScriptedServer host;
    const QString authority = certificates.Authority();
    ASSERT_FALSE(authority.isEmpty());
    ASSERT_TRUE(peer.Start(certificates.SignedByAuthority("host"), host.Port()));
    ProgramUnderXvfb program;
    program.SetVariable("SSL_CERT_FILE", authority);
    ASSERT_TRUE(program.Start(kSettings, TlsArguments()));
    ASSERT_TRUE(host.WaitForClient(30000));
    ASSERT_TRUE(program.FocusWindow("127.0.0.1")) << program.Windows().toStdString();
    EXPECT_FALSE(Shows(program, "Untrusted Certificate"));
    host.Close();
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_FALSE(ReadAll(program.ConfigPath("Brannock/Quillterm.conf")).contains("certificates"));
}

// strace prints every byte of every write as \xHH (-xx): the password's
// bytes in that form would be the password written in clear.
QByteArray AsStraceHex(const QByteArray& bytes) {
    QByteArray hex;
    for (const char c : bytes) hex += "\\x" + QByteArray(1, c).toHex();
    return hex;
}

TEST_F(TlsUnderXvfbTest, AScriptsPasswordNeverAppearsInClearInAnyWrite) {
    if (QStandardPaths::findExecutable("strace").isEmpty())
        GTEST_SKIP() << "strace is not installed";
    const QByteArray password = "Pa55-w0rd!";
    QTemporaryDir folder;
    const QString script = folder.filePath("login.qs");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "expect \"login: \"\nsendln \"joe\"\nexpect \"Password: \"\npassword \"joe\"\n"
        "expect \"$ \"\nstop\n");
    file.close();
    const QString trace = folder.filePath("trace");

    ScriptedServer host;
    ASSERT_TRUE(peer.Start(certificates.SelfSigned("host"), host.Port()));
    ProgramUnderXvfb program;
    program.SetLauncher({"strace", "-f", "-qq", "-xx", "-s", "65536", "-e",
                         "trace=write,writev,sendto,sendmsg", "-o", trace});
    ASSERT_TRUE(program.Start(kSettings, QStringList{"--script", script} + TlsArguments()));
    ASSERT_TRUE(program.FocusWindow("Untrusted Certificate")) << program.Windows().toStdString();
    program.Xdotool({"key", "alt+o"});
    ASSERT_TRUE(host.WaitForClient(30000));
    host.Send("login: ");
    ASSERT_TRUE(PumpUntil([&] { return host.Received().endsWith("joe\r"); }, 15000));
    host.Send("joe\r\nPassword: ");
    ASSERT_TRUE(program.FocusWindow("Password", 15000)) << program.Windows().toStdString();
    program.Xdotool({"type", "--delay", "20", QString::fromLatin1(password)});
    program.Xdotool({"key", "Return"});
    // The host behind TLS got it: it did travel, encrypted.
    ASSERT_TRUE(PumpUntil([&] { return host.Received().endsWith(password + "\r"); }, 15000))
        << host.Received().toStdString();
    host.Send("\r\n$ ");
    host.Close();
    EXPECT_EQ(program.WaitForExit(), 0);

    const QByteArray writes = ReadAll(trace);
    ASSERT_TRUE(writes.contains("\\x17\\x03\\x03")) << "the trace holds the TLS records sent";
    EXPECT_FALSE(writes.contains(AsStraceHex(password)));
    EXPECT_FALSE(writes.contains(password));
}

}  // namespace
}  // namespace quill::test
