// A session script logging in as a user would run it under Xvfb: --script
// FILE, a loopback host asking "login: " and "Password: ", the password
// typed into the Password dialog (no keyring: no session bus). The host gets
// exactly the name, the password and the commands; neither the settings
// folder nor the session log holds the password, nor, once it has been sent,
// the program's memory.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include "program_under_xvfb.h"
#include "scripted_server.h"

namespace quill::test {
namespace {

const QByteArray kPassword = "Pa55-w0rd!";

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file under `folder` that holds `secret`.
QStringList FilesHolding(const QString& folder, const QByteArray& secret) {
    QStringList found;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (Contents(path).contains(secret)) found << path;
    }
    return found;
}

// Every run of kPiece characters of `secret`, as bytes and as UTF-16.
constexpr int kPiece = 6;
QList<QByteArray> PiecesOf(const QByteArray& secret) {
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at + kPiece <= secret.size(); ++at) {
        const QByteArray piece = secret.mid(at, kPiece);
        const QString text = QString::fromLatin1(piece);
        pieces << piece << QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    return pieces;
}

// The pieces of `secret` found in the writable memory of process `pid`;
// `scanned` counts the bytes read.
QList<QByteArray> PiecesInMemory(qint64 pid, const QByteArray& secret, qint64& scanned) {
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    QFile memory(QStringLiteral("/proc/%1/mem").arg(pid));
    QList<QByteArray> found;
    scanned = 0;
    if (!maps.open(QIODevice::ReadOnly) ||
        !memory.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return found;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 2 || !fields[1].startsWith("rw")) continue;
        const QList<QByteArray> range = fields[0].split('-');
        const qint64 start = range[0].toLongLong(nullptr, 16);
        const qint64 end = range[1].toLongLong(nullptr, 16);
        if (!memory.seek(start)) continue;
        const QByteArray bytes = memory.read(end - start);
        scanned += bytes.size();
        for (const QByteArray& piece : PiecesOf(secret)) {
            if (bytes.contains(piece) && !found.contains(piece)) found << piece;
        }
    }
    return found;
}

TEST(ScriptLoginUnderXvfb, LogsInWithThePasswordTypedIntoTheDialogAndKeepsItNowhere) {
    if (const QString missing = ProgramUnderXvfb::Missing(); !missing.isEmpty()) {
        GTEST_SKIP() << missing.toStdString();
    }
    QTemporaryDir folder;
    const QString script = folder.filePath("login.qs");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "expect \"login: \"\nsendln \"joe\"\n"
        "expect \"Password: \"\npassword \"joe\"\n"
        "expect \"$ \" \"Login incorrect\"\nif matched 2 goto refused\n"
        "sendln \"uname\"\nexpect \"$ \"\nsendln \"exit\"\nstop\n"
        "refused:\nstop \"refused\"\n");
    file.close();
    const QString log = folder.filePath("session.log");

    ScriptedServer host;
    ProgramUnderXvfb program;
    program.SetVariable("QUILLTERM_LOG", log);
    ASSERT_TRUE(program.Start("[settings]\nautoexit=1\n",
                              {"--script", script, "127.0.0.1", QString::number(host.Port())}));
    ASSERT_TRUE(host.WaitForClient(30000));
    host.Send("Welcome\r\nlogin: ");
    ASSERT_TRUE(PumpUntil([&] { return host.Received() == "joe\r"; }, 15000))
        << host.Received().toStdString();
    host.Send("joe\r\nPassword: ");

    ASSERT_TRUE(program.FocusWindow("Password", 15000)) << program.Windows().toStdString();
    program.Xdotool({"type", "--delay", "20", QString::fromLatin1(kPassword)});
    program.Xdotool({"key", "Return"});
    const QByteArray loggedIn = "joe\r" + kPassword + "\r";
    ASSERT_TRUE(PumpUntil([&] { return host.Received() == loggedIn; }, 15000))
        << host.Received().toStdString();
    // Sent, the password is nowhere in the program's memory, not even in
    // part (Enter overwrites only the first byte of a send buffer).
    qint64 scanned = 0;
    EXPECT_EQ(PiecesInMemory(program.ProcessId(), kPassword, scanned), QList<QByteArray>());
    EXPECT_GT(scanned, 1 << 20) << "the program's memory could not be read";
    host.Send("\r\nLast login: today\r\n$ ");
    ASSERT_TRUE(PumpUntil([&] { return host.Received() == loggedIn + "uname\r"; }, 15000));
    host.Send("uname\r\nLinux\r\n$ ");
    // "exit" may come in more than one read: wait for as many bytes as it has.
    const QByteArray loggedOut = loggedIn + "uname\rexit\r";
    ASSERT_TRUE(PumpUntil([&] { return host.Received().size() >= loggedOut.size(); }, 15000));
    EXPECT_EQ(host.Received(), loggedOut);

    host.Close();
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_TRUE(Contents(log).contains("Last login: today")) << "the log was written";
    EXPECT_EQ(FilesHolding(folder.path(), kPassword), QStringList());
    EXPECT_EQ(FilesHolding(program.ConfigPath(""), kPassword), QStringList());
}

}  // namespace
}  // namespace quill::test
