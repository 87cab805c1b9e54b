// Logging a session as a user does under Xvfb: Alt+L, the "Log Session"
// dialog, a path typed and Return; the server's bytes until Alt+L again are
// in the file exactly, and nothing after.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "log_files.h"
#include "program_under_xvfb.h"
#include "scripted_server.h"

namespace quill::test {
namespace {

const QByteArray kIdentify = "\x1bZ";
const QByteArray kIdentifyReply = "\x1b[?1;7c";

// About 200 KB of what servers send: text, escape sequences, IAC NOP, IAC
// IAC and a terminal-type request, cut into blocks of uneven sizes.
std::vector<QByteArray> ServerBlocks() {
    const QByteArray iacNop("\xff\xf1", 2);
    const QByteArray iacIac("\xff\xff", 2);
    const QByteArray terminalType("\xff\xfd\x18\xff\xfa\x18\x01\xff\xf0", 9);
    QByteArray stream;
    for (int i = 0; stream.size() < 200 * 1024; ++i) {
        stream += "line " + QByteArray::number(i) + " of the session\r\n";
        if (i % 7 == 0) stream += "\x1b[1mbold\x1b[m \x1b[7mreverse\x1b[0m\x1b[K\r\n";
        if (i % 11 == 0) stream += iacNop;
        if (i % 13 == 0) stream += iacIac;
        if (i % 17 == 0) stream += "\x1b[5;10H\x1b[2A\x1b(0lqk\x1b(B\x1b[24;1H";
        if (i == 300) stream += terminalType;
    }
    std::vector<QByteArray> blocks;
    const int sizes[] = {1, 4096, 17, 9000, 300, 2, 65536, 777};
    for (qsizetype at = 0, n = 0; at < stream.size(); at += blocks.back().size(), ++n) {
        blocks.push_back(stream.mid(at, sizes[n % std::size(sizes)]));
    }
    return blocks;
}

TEST(LogSessionUnderXvfb, AltLTypedPathAndReturnLogExactlyTheBytesUntilAltLAgain) {
    if (const QString missing = ProgramUnderXvfb::Missing(); !missing.isEmpty()) {
        GTEST_SKIP() << missing.toStdString();
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("session.log");
    ScriptedServer host;
    ProgramUnderXvfb program;
    ASSERT_TRUE(
        program.Start("[settings]\nautoexit=1\n", {"127.0.0.1", QString::number(host.Port())}));
    ASSERT_TRUE(host.WaitForClient(30000));
    ASSERT_TRUE(program.FocusWindow("127.0.0.1")) << program.Windows().toStdString();

    program.Xdotool({"key", "alt+l"});
    ASSERT_TRUE(program.FocusWindow("Log Session", 15000)) << program.Windows().toStdString();
    program.Xdotool({"type", "--delay", "10", path});
    program.Xdotool({"key", "Return"});
    ASSERT_TRUE(PumpUntil([&] { return QFile::exists(path); }, 15000));

    QByteArray logged;
    for (const QByteArray& block : ServerBlocks()) {
        host.Send(block);
        logged += block;
    }
    host.Send(kIdentify);
    logged += kIdentify;
    ASSERT_TRUE(PumpUntil([&] { return host.Received().contains(kIdentifyReply); }, 60000));

    // Keys reach the window in order: once the host has the key typed after
    // Alt+L, the log has stopped.
    ASSERT_TRUE(program.FocusWindow("127.0.0.1"));
    program.Xdotool({"key", "alt+l"});
    program.Xdotool({"type", "q"});
    ASSERT_TRUE(PumpUntil([&] { return host.Received().endsWith(kIdentifyReply + "q"); }, 15000));
    host.Send("not logged\r\n" + kIdentify);
    ASSERT_TRUE(PumpUntil([&] { return host.Received().count(kIdentifyReply) == 2; }, 15000));

    const QByteArray inFile = ReadAll(path);
    EXPECT_EQ(inFile.size(), logged.size());
    EXPECT_TRUE(inFile == logged) << "the log differs from what the host sent";
    EXPECT_EQ(TimedBytes(path + ".timing"), inFile.size());

    host.Close();
    EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
}  // namespace quill::test
