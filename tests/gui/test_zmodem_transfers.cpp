// ZMODEM transfers with lrzsz at both ends: the host runs sz or rz behind a
// loopback socket (Telnet or raw TCP), the program answers with its own.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "session_fixture.h"
#include "ui/resources/command_ids.h"
#include "zmodem_host.h"

namespace quill::test {
namespace {

constexpr int kTransferMs = 120000;
constexpr int kCancelMs = 5000;
constexpr qint64 kBigFile = 10 * 1024 * 1024;

QByteArray Sha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray RandomBytes(qint64 count) {
    QByteArray bytes(count, '\0');
    QRandomGenerator generator(29);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()),
                        static_cast<qsizetype>(count / 4));
    return bytes;
}

// The parameter: whether the connection is Telnet (true) or raw TCP.
class ZmodemTransferTest : public SessionTest, public ::testing::WithParamInterface<bool> {
  protected:
    ZmodemTransferTest() : zmodemHost(GetParam()) {
        hooks.window.zmodem.chooseFolder = [this](QWidget*, const QString& offered) {
            offeredFolder = offered;
            return std::optional<QString>(receiveFolder.path());
        };
        hooks.window.zmodem.chooseFiles = [this](QWidget*) { return filesToSend; };
        hooks.window.zmodem.findProgram = [this](const QString& program) {
            return lrzszMissing ? QString() : QStandardPaths::findExecutable(program);
        };
        app = std::make_unique<Application>(store, hooks);
    }

    void ConnectToZmodemHost() {
        std::vector<std::string> arguments{"127.0.0.1", std::to_string(zmodemHost.Port())};
        if (!GetParam()) arguments.insert(arguments.begin(), "--raw");
        ASSERT_EQ(StartUp(arguments), Application::kStarted);
        ASSERT_TRUE(zmodemHost.WaitForClient());
    }

    // Both ends have finished, and the session goes on: the host's next
    // text reaches the screen.
    void ExpectTheSessionGoesOn(int withinMs) {
        EXPECT_TRUE(PumpUntil(
            [this] { return !zmodemHost.Running() && !Window().Transfers().Running(); },
            withinMs));
        zmodemHost.Send("still here\r\n");
        EXPECT_TRUE(PumpUntil([this] { return ScreenText().find("still here") != std::string::npos; }));
    }

    ZmodemHost zmodemHost;
    QTemporaryDir receiveFolder;
    QTemporaryDir sendFolder;
    QString offeredFolder;
    QStringList filesToSend;
    bool lrzszMissing = false;
};

// A random file and one of 255s (each doubled over Telnet) arrive whole;
// the terminal shows the outcome and none of the protocol; the folder is
// remembered.
TEST_P(ZmodemTransferTest, DownloadArrivesWholeAndTheSessionGoesOn) {
    WriteFile(sendFolder.filePath("random.bin"), RandomBytes(kBigFile));
    WriteFile(sendFolder.filePath("ff.bin"), QByteArray(300000, '\xff'));
    ConnectToZmodemHost();
    zmodemHost.Run("sz", {"-b", "random.bin", "ff.bin"}, sendFolder.path());
    ASSERT_TRUE(PumpUntil([this] { return Window().Transfers().Running(); }));
    ASSERT_NE(Window().Transfers().ProgressDialog(), nullptr);
    EXPECT_TRUE(Window().Transfers().ProgressDialog()->isVisible());
    EXPECT_EQ(Window().Transfers().ProgressDialog()->windowTitle(), "ZMODEM Transfer");
    ExpectTheSessionGoesOn(kTransferMs);
    EXPECT_EQ(zmodemHost.ExitCode(), 0);
    EXPECT_EQ(Sha256(receiveFolder.filePath("random.bin")), Sha256(sendFolder.filePath("random.bin")));
    EXPECT_EQ(Sha256(receiveFolder.filePath("ff.bin")), Sha256(sendFolder.filePath("ff.bin")));
    const std::string screen = ScreenText();
    EXPECT_NE(screen.find("Received random.bin (10485760 bytes)"), std::string::npos) << screen;
    EXPECT_NE(screen.find("Received ff.bin (300000 bytes)"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("B00"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("OO"), std::string::npos) << screen;
    EXPECT_EQ(offeredFolder, QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));

    // The second time the folder offered is the one chosen, and an existing
    // name is kept: the new file is renamed.
    zmodemHost.Run("sz", {"-b", "ff.bin"}, sendFolder.path());
    ExpectTheSessionGoesOn(kTransferMs);
    EXPECT_EQ(offeredFolder, receiveFolder.path());
    EXPECT_EQ(Sha256(receiveFolder.filePath("ff.bin.0")), Sha256(sendFolder.filePath("ff.bin")));
}

// The host's rz asks for files; so does Send Files, before the host's rz
// runs.
TEST_P(ZmodemTransferTest, UploadOnTheHostsRequestAndFromTheMenu) {
    WriteFile(sendFolder.filePath("up.bin"), RandomBytes(kBigFile));
    filesToSend = {sendFolder.filePath("up.bin")};
    ConnectToZmodemHost();
    zmodemHost.Run("rz", {"-b"}, receiveFolder.path());
    ExpectTheSessionGoesOn(kTransferMs);
    EXPECT_EQ(Sha256(receiveFolder.filePath("up.bin")), Sha256(sendFolder.filePath("up.bin")));
    EXPECT_NE(ScreenText().find("Sent up.bin (10485760 bytes)"), std::string::npos);

    WriteFile(sendFolder.filePath("small.bin"), QByteArray(70000, '\xff'));
    filesToSend = {sendFolder.filePath("small.bin")};
    Window().OnCommand(CommandId::kSendFiles);
    ASSERT_TRUE(Window().Transfers().Running());
    zmodemHost.Run("rz", {"-b"}, receiveFolder.path());
    ExpectTheSessionGoesOn(kTransferMs);
    EXPECT_EQ(Sha256(receiveFolder.filePath("small.bin")), Sha256(sendFolder.filePath("small.bin")));
}

// Cancel in the middle stops both ends within five seconds.
TEST_P(ZmodemTransferTest, CancelStopsBothEnds) {
    WriteFile(sendFolder.filePath("random.bin"), RandomBytes(kBigFile));
    ConnectToZmodemHost();
    zmodemHost.Run("sz", {"-b", "random.bin"}, sendFolder.path());
    ASSERT_TRUE(PumpUntil([this] {
        const QProgressDialog* progress = Window().Transfers().ProgressDialog();
        return progress != nullptr && progress->value() > 0;
    }, kTransferMs));
    Window().Transfers().ProgressDialog()->findChild<QPushButton*>()->click();
    ExpectTheSessionGoesOn(kCancelMs);
    EXPECT_NE(zmodemHost.ExitCode(), 0);
    EXPECT_NE(ScreenText().find("ZMODEM transfer cancelled"), std::string::npos) << ScreenText();
}

// Without lrzsz a box names the package, the host is told to give up and
// the session goes on.
TEST_P(ZmodemTransferTest, WithoutLrzszTheBoxNamesThePackage) {
    lrzszMissing = true;
    WriteFile(sendFolder.filePath("f.bin"), QByteArray(1000, 'f'));
    ConnectToZmodemHost();
    zmodemHost.Run("sz", {"-b", "f.bin"}, sendFolder.path());
    ASSERT_TRUE(PumpUntil([this] { return !boxes.empty(); }));
    EXPECT_TRUE(boxes.back().text.contains("lrzsz")) << boxes.back().text.toStdString();
    ExpectTheSessionGoesOn(kCancelMs);
    EXPECT_FALSE(QFile::exists(receiveFolder.filePath("f.bin")));
}

// Over Telnet with BINARY, offered by the host and taken by the BBS terminal.
class ZmodemBinaryTransferTest : public ZmodemTransferTest {};

// CR, NUL and 255 bytes go as they are (IAC still doubled): a file of them
// arrives whole, which it would not if either end still dropped the NUL of
// a CR NUL, and the host's last "OO" never shows.
TEST_P(ZmodemBinaryTransferTest, DownloadWithBinaryTaken) {
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i) bytes.append("\r\0\xff"[i % 3]);
    WriteFile(sendFolder.filePath("cr-ff.bin"), bytes);
    SetSetting("bbs", "1");
    ConnectToZmodemHost();
    zmodemHost.OfferBinary();
    ASSERT_TRUE(PumpUntil([this] { return zmodemHost.BinaryTaken(); }));
    zmodemHost.Run("sz", {"-b", "cr-ff.bin"}, sendFolder.path());
    ExpectTheSessionGoesOn(kTransferMs);
    EXPECT_EQ(zmodemHost.ExitCode(), 0);
    EXPECT_EQ(Sha256(receiveFolder.filePath("cr-ff.bin")), Sha256(sendFolder.filePath("cr-ff.bin")));
    const std::string screen = ScreenText();
    EXPECT_NE(screen.find("Received cr-ff.bin (100000 bytes)"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("OO"), std::string::npos) << screen;
}

INSTANTIATE_TEST_SUITE_P(Telnet, ZmodemBinaryTransferTest, ::testing::Values(true),
                         [](const ::testing::TestParamInfo<bool>&) { return "Binary"; });

INSTANTIATE_TEST_SUITE_P(TelnetAndRaw, ZmodemTransferTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Telnet" : "RawTcp";
                         });

}  // namespace
}  // namespace quill::test
