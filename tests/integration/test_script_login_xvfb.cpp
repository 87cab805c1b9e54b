// A session script logging in as a user would run it under Xvfb: --script
// FILE, a loopback host asking "login: " and "Password: ", the password
// typed into the Password dialog (no keyring: no session bus). The host gets
// exactly the name, the password and the commands; neither the settings
// folder nor the session log holds the password.
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
