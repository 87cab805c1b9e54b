// The program under X against a host that compresses, asks for CHARSET and
// cycles the terminal type (tests/integration/telnet_options_host.py, which
// checks every reply byte for byte), then sends each Telnet command from the
// menu and Break with Ctrl+Break, and the host receives them.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>

#include "program_under_xvfb.h"
#include "scripted_server.h"

namespace quill::test {
namespace {

class TelnetOptionsUnderXvfb : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QString missing = ProgramUnderXvfb::Missing(); !missing.isEmpty()) {
            GTEST_SKIP() << missing.toStdString();
        }
        if (QStandardPaths::findExecutable("python3").isEmpty()) GTEST_SKIP() << "no python3";
        host.start("python3", {QUILL_TELNET_OPTIONS_HOST});
        ASSERT_TRUE(PumpUntil([this] { return Read().contains('\n'); }, 10000));
        port = output.left(output.indexOf('\n')).toInt();
        ASSERT_GT(port, 0) << output.toStdString();
    }

    void TearDown() override {
        host.kill();
        host.waitForFinished();
    }

    const QByteArray& Read() {
        output += host.readAllStandardOutput();
        return output;
    }

    // What the host reported receiving from the client after the
    // negotiation: the stream's bytes, with the urgent ones marked.
    QByteArray Received() {
        QByteArray bytes;
        for (const QByteArray& line : Read().split('\n')) {
            if (line.startsWith("data ")) bytes += QByteArray::fromHex(line.mid(5));
            if (line.startsWith("urgent ")) bytes += "<" + line.mid(7) + ">";
        }
        return bytes;
    }

    QProcess host;
    QByteArray output;
    int port = 0;
};

TEST_F(TelnetOptionsUnderXvfb, RepliesAreExactAndEveryCommandReachesTheHost) {
    ProgramUnderXvfb program;
    ASSERT_TRUE(program.Start("[settings]\nautoexit=1\nextended=1\n",
                              {"127.0.0.1", QString::number(port)}));
    ASSERT_TRUE(PumpUntil([this] { return Read().contains("negotiation "); }, 30000));
    ASSERT_TRUE(PumpUntil([this] { return Read().contains("negotiation ok\n"); }, 1000))
        << output.toStdString();
    ASSERT_TRUE(program.FocusWindow("127.0.0.1")) << program.Windows().toStdString();
    QString window;
    program.Xdotool({"search", "--name", "^127\\.0\\.0\\.1$"}, &window);
    window = window.section('\n', 0, 0);

    // Connection, its Send Telnet Command submenu, then each item's letter.
    const QByteArray expected = QByteArray::fromHex("fff3 fff4 fff5 fff6 fff7 fff8") + "\xff" +
                                "<f2>" + QByteArray::fromHex("fff1");
    for (const char* letter : {"b", "i", "a", "y", "c", "l", "s", "n"}) {
        const qsizetype before = Received().size();
        program.Xdotool({"mousemove", "--window", window, "20", "10", "click", "1"});
        program.Xdotool({"key", "--delay", "100", "m", letter});
        ASSERT_TRUE(PumpUntil([&] { return Received().size() > before; }, 10000))
            << letter << ": " << output.toStdString();
    }
    ASSERT_TRUE(PumpUntil([&] { return Received().size() >= expected.size(); }, 5000));
    EXPECT_EQ(Received(), expected) << output.toStdString();

    program.Xdotool({"key", "ctrl+Break"});
    ASSERT_TRUE(PumpUntil([&] { return Received().size() > expected.size(); }, 10000));
    EXPECT_EQ(Received(), expected + QByteArray::fromHex("fff3"));
}

}  // namespace
}  // namespace quill::test
