#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/settings/host_history.h"
#include "core/settings/trusted_certificates.h"
#include "core/settings/terminal_settings.h"
#include "ui/settings/qsettings_backend.h"

namespace quill {
namespace {

// Points the per-user store of this process and of the probes it starts at a
// directory of the test's own.
class QSettingsBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.isValid());
        UseConfigHome(scratch_.path() + "/config");
    }

    void UseConfigHome(const QString& path) {
        configHome_ = path;
        qputenv("XDG_CONFIG_HOME", path.toLocal8Bit());
        // The store takes its location once per process; a test run that
        // holds several tests in one process needs it moved explicitly.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path);
    }

    QString ConfPath() const { return configHome_ + "/Brannock/Quillterm.conf"; }

    void WriteConfFile(const QByteArray& contents) {
        ASSERT_TRUE(QDir().mkpath(configHome_ + "/Brannock"));
        QFile file(ConfPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(contents), contents.size());
    }

    QByteArray ReadConfFile() const {
        QFile file(ConfPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<QProcess> StartProbe(const QStringList& arguments) const {
        auto probe = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", configHome_);
        probe->setProcessEnvironment(environment);
        probe->start(QUILL_SETTINGS_PROBE, arguments);
        return probe;
    }

    // True once the probe has printed the line `said`, false when it has not
    // within the deadline.
    static bool Await(QProcess& probe, const QByteArray& said, const QDeadlineTimer& deadline) {
        while (!deadline.hasExpired()) {
            while (probe.canReadLine()) {
                if (probe.readLine().trimmed() == said) return true;
            }
            probe.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        }
        return false;
    }

    // The exit code of a probe run to its end, -1 when it did not end
    // normally before the deadline.
    static int ExitCode(QProcess& probe, const QDeadlineTimer& deadline) {
        if (!probe.waitForFinished(
                static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
            probe.kill();
            probe.waitForFinished(5000);
            return -1;
        }
        return probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
    }

    // Exit code and output of a probe run to its end (-1 when it did not end
    // normally within the time limit).
    std::pair<int, std::string> RunProbe(const QStringList& arguments) const {
        const std::unique_ptr<QProcess> probe = StartProbe(arguments);
        const int code = ExitCode(*probe, QDeadlineTimer(30000));
        return {code, probe->readAllStandardOutput().toStdString()};
    }

    QTemporaryDir scratch_;
    QString configHome_;
    QSettingsBackend backend;
    SettingsStore store{backend};
};

TEST_F(QSettingsBackendTest, FreshStoreGivesDefaultsAndKeepsKeysInLowerCase) {
    const TerminalSettings fresh = ReadTerminalSettings(store);
    EXPECT_EQ(fresh.font, "Courier New");
    EXPECT_EQ(fresh.fontsize, 12);
    EXPECT_EQ(fresh.fgcolor, kBlack);
    EXPECT_EQ(fresh.bgcolor, kWhite);
    EXPECT_FALSE(fresh.options.CRLFTranslation() || fresh.options.LocalEcho() || fresh.autoexit ||
                 fresh.options.Wrap() || fresh.MaximizeOnStart);
    EXPECT_FALSE(QFile::exists(ConfPath())) << "reading must not create the file";

    EXPECT_TRUE(store.WriteSetting("Settings", "maximizeOnStart", "1"));
    const QByteArray file = ReadConfFile();
    EXPECT_TRUE(file.contains("[settings]")) << file.toStdString();
    EXPECT_TRUE(file.contains("maximizeonstart=1")) << file.toStdString();
    EXPECT_FALSE(file.contains("maximizeOnStart")) << file.toStdString();
    EXPECT_EQ(store.ReadIntSetting("Settings", "MaximizeOnStart", 0), 1);
    EXPECT_TRUE(ReadTerminalSettings(store).MaximizeOnStart);
}

TEST_F(QSettingsBackendTest, AnotherProcessReadsWhatWasWrittenByteForByte) {
    const std::array<std::string, 9> texts = {"10,20,30",    "  padded  ", "\"quoted\"",
                                              "back\\slash", "a;b#c=d",    "caf\xc3\xa9",
                                              "[hosts]",     "",           "@Invalid()"};
    for (const std::string& text : texts) {
        ASSERT_TRUE(store.WriteSetting("Settings", "font", text));
        EXPECT_EQ(RunProbe({"read", "settings", "font"}),
                  (std::pair<int, std::string>{0, "value:" + text}));
    }
}

TEST_F(QSettingsBackendTest, ThisProcessReadsWhatAnotherProcessWrote) {
    EXPECT_EQ(store.ReadIntSetting("Settings", "wrap", 0), 0);
    ASSERT_EQ(RunProbe({"write", "Settings", "Wrap", "1"}).first, 0);
    EXPECT_EQ(store.ReadIntSetting("Settings", "wrap", 0), 1);
    EXPECT_TRUE(ReadTerminalSettings(store).options.Wrap());
}

TEST_F(QSettingsBackendTest, HandEditedNamesMatchWhateverTheirCase) {
    WriteConfFile("[Settings]\nMaximizeOnStart=1\nFGColor=1,2,3\n[HOSTS]\nHost1=alpha\n");
    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_TRUE(settings.MaximizeOnStart);
    EXPECT_EQ(settings.fgcolor, (Rgb{1, 2, 3}));
    EXPECT_EQ(FillHostList(store).editText, "alpha");
}

TEST_F(QSettingsBackendTest, HandEditedValuesReadAsTheirFormatsSay) {
    WriteConfFile(
        "[settings]\n"
        "fgcolor=10,20,30\n"
        "bgcolor=10, 20, 30\n"
        "fontsize=99999999999999999999\n"
        "font=" +
        QByteArray(80, 'F') +
        "\n"
        "this line is stray\n"
        "wrap=abc\n"
        "localecho=\n"
        "crlftranslation=2\n"
        "autoexit= 1\n"
        "maximizeonstart=@Invalid()\n");
    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.fgcolor, (Rgb{10, 20, 30}));
    EXPECT_EQ(settings.bgcolor, (Rgb{10, 20, 30}));
    EXPECT_EQ(settings.fontsize, 0);  // beyond any font: the default height
    EXPECT_EQ(settings.font, "Courier New");
    EXPECT_FALSE(settings.options.Wrap());
    EXPECT_FALSE(settings.options.LocalEcho());
    EXPECT_TRUE(settings.options.CRLFTranslation());
    EXPECT_TRUE(settings.autoexit);
    EXPECT_FALSE(settings.MaximizeOnStart);
}

TEST_F(QSettingsBackendTest, HandEditedColoursCoverEveryFormOfTheText) {
    WriteConfFile(
        "[settings]\n"
        "fgcolor=10 20 30\n"
        "bgcolor=\"300,0,0\"\n");
    TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.fgcolor, (Rgb{10, 20, 30}));
    EXPECT_EQ(settings.bgcolor, (Rgb{44, 0, 0}));

    UseConfigHome(scratch_.path() + "/two-numbers");
    WriteConfFile(
        "[settings]\n"
        "fgcolor=1,2\n"
        "bgcolor=1,2\n");
    settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.fgcolor, kBlack);
    EXPECT_EQ(settings.bgcolor, kWhite);
}

TEST_F(QSettingsBackendTest, BinaryGarbageReadsAsDefaultsAndDoesNotStopSaving) {
    std::mt19937 random(1234);
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) garbage.append(static_cast<char>(random() & 0xFF));
    garbage.append("\n[settings]\nfont=\xff\xfe\x00\x01\nfgcolor=@Variant(\x00\x00\x00\x7f)\n", 55);
    WriteConfFile(garbage);

    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_EQ(settings.fgcolor, kBlack);
    EXPECT_EQ(settings.fontsize, 12);
    EXPECT_FALSE(settings.options.Wrap());
    EXPECT_TRUE(FillHostList(store).hosts.empty());

    EXPECT_TRUE(SaveHostHistory(store, "alpha"));
    EXPECT_EQ(RunProbe({"read", "hosts", "host1"}),
              (std::pair<int, std::string>{0, "value:alpha"}));
}

TEST_F(QSettingsBackendTest, StoreBelowAFileReadsDefaultsAndWritesFailQuietly) {
    QFile blocker(scratch_.path() + "/not-a-directory");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    UseConfigHome(blocker.fileName() + "/config");

    EXPECT_EQ(ReadTerminalSettings(store).font, "Courier New");
    EXPECT_FALSE(store.WriteSetting("Settings", "wrap", "1"));
    EXPECT_FALSE(SaveHostHistory(store, "alpha"));
    EXPECT_FALSE(ReadTerminalSettings(store).options.Wrap());
    EXPECT_TRUE(FillHostList(store).hosts.empty());
}

TEST_F(QSettingsBackendTest, ReadOnlyStoreKeepsItsValuesAndRefusesWrites) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    WriteConfFile("[settings]\nwrap=1\n[hosts]\nhost1=alpha\n");
    const QByteArray before = ReadConfFile();
    const std::string dir = (configHome_ + "/Brannock").toStdString();
    ASSERT_EQ(chmod(ConfPath().toLocal8Bit().constData(), 0444), 0);
    ASSERT_EQ(chmod(dir.c_str(), 0555), 0);

    EXPECT_TRUE(ReadTerminalSettings(store).options.Wrap());
    EXPECT_FALSE(store.WriteSetting("Settings", "wrap", "0"));
    EXPECT_FALSE(SaveHostHistory(store, "beta"));
    EXPECT_EQ(RunProbe({"write", "settings", "wrap", "0"}).first, 1);
    EXPECT_EQ(ReadConfFile(), before);
    chmod(dir.c_str(), 0755);
}

// The ten host slots of an INI text; slots it lacks are empty.
std::vector<std::string> HostSlots(const QByteArray& contents) {
    std::vector<std::string> history(kHostHistorySize);
    bool inHosts = false;
    for (const QByteArray& line : contents.split('\n')) {
        if (line.startsWith('[')) inHosts = line == "[hosts]";
        if (!inHosts) continue;
        for (int n = 1; n <= kHostHistorySize; ++n) {
            const QByteArray prefix = QByteArray::fromStdString(HostKey(n)) + "=";
            if (line.startsWith(prefix)) history[n - 1] = line.mid(prefix.size()).toStdString();
        }
    }
    return history;
}

// True when the slots hold one whole history "TAG-i-1" .. "TAG-i-10" saved by a
// probe, or nothing at all (before the first save).
bool IsOneWholeHistory(const std::vector<std::string>& history) {
    if (history == std::vector<std::string>(kHostHistorySize)) return true;
    const std::size_t cut = history[0].rfind('-');
    if (cut == std::string::npos || history[0].substr(cut) != "-1") return false;
    const std::string prefix = history[0].substr(0, cut + 1);
    for (int n = 1; n <= kHostHistorySize; ++n) {
        if (history[n - 1] != prefix + std::to_string(n)) return false;
    }
    return true;
}

TEST_F(QSettingsBackendTest, TwoProcessesSavingAtOnceLeaveOneWholeHistory) {
    constexpr int kSaves = 150;
    const std::unique_ptr<QProcess> first =
        StartProbe({"save-history", "A", QString::number(kSaves)});
    const std::unique_ptr<QProcess> second =
        StartProbe({"save-history", "B", QString::number(kSaves)});
    ASSERT_TRUE(first->waitForStarted(10000));
    ASSERT_TRUE(second->waitForStarted(10000));

    // While both save, every state of the file on disk must be one whole history.
    const QDeadlineTimer deadline(60000);
    int snapshots = 0;
    std::vector<std::string> torn;
    while (torn.empty() && !deadline.hasExpired() &&
           (first->state() != QProcess::NotRunning || second->state() != QProcess::NotRunning)) {
        const std::vector<std::string> history = HostSlots(ReadConfFile());
        if (!IsOneWholeHistory(history)) torn = history;
        ++snapshots;
        first->waitForFinished(2);
        second->waitForFinished(2);
    }
    for (QProcess* probe : {first.get(), second.get()}) {
        if (probe->state() != QProcess::NotRunning) probe->kill();
        probe->waitForFinished(5000);
        EXPECT_EQ(probe->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(probe->exitCode(), 0);
    }
    EXPECT_GT(snapshots, 0);
    ASSERT_TRUE(torn.empty()) << "a reader saw host1 " << torn[0] << " with host10 " << torn[9];

    // The file parses as the history that was saved last by one of the two.
    const HostList list = FillHostList(store);
    ASSERT_EQ(list.hosts.size(), static_cast<std::size_t>(kHostHistorySize));
    const std::string last = "-" + std::to_string(kSaves) + "-";
    EXPECT_TRUE(list.hosts[0] == "A" + last + "1" || list.hosts[0] == "B" + last + "1")
        << list.hosts[0];
    EXPECT_TRUE(IsOneWholeHistory(list.hosts));
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// Connect dialogs opened at once in several instances, all showing the same
// history, and OK'd together: each host goes on top of the history as the
// instance finds it when it holds the store.
TEST_F(QSettingsBackendTest, TwelveConnectDialogsOkdAtOnceKeepTheTenThatHeldTheStoreLast) {
    const QString journal = scratch_.path() + "/journal";
    std::vector<std::unique_ptr<QProcess>> dialogs;
    for (int i = 1; i <= 12; ++i)
        dialogs.push_back(StartProbe({"connect", QString("host-%1").arg(i), journal}));
    const QDeadlineTimer deadline(60000);
    for (auto& dialog : dialogs) ASSERT_TRUE(Await(*dialog, "ready", deadline));
    for (auto& dialog : dialogs) dialog->write("ok\n");
    for (auto& dialog : dialogs) dialog->waitForBytesWritten(10000);
    for (auto& dialog : dialogs) EXPECT_EQ(ExitCode(*dialog, deadline), 0);

    QFile file(journal);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<std::string> mostRecentFirst;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty()) mostRecentFirst.insert(mostRecentFirst.begin(), line.toStdString());
    }
    ASSERT_EQ(mostRecentFirst.size(), 12u);
    mostRecentFirst.resize(kHostHistorySize);
    EXPECT_EQ(FillHostList(store).hosts, mostRecentFirst);
}

// A turns Wrap on and B Local Echo, both in dialogs opened before either OK.
TEST_F(QSettingsBackendTest, TwoCopiesTrustingCertificatesAtOnceKeepThemAll) {
    constexpr int kPorts = 25;
    const std::unique_ptr<QProcess> a = StartProbe({"trust", "alpha", QString::number(kPorts)});
    const std::unique_ptr<QProcess> b = StartProbe({"trust", "beta", QString::number(kPorts)});
    const QDeadlineTimer deadline(60000);
    EXPECT_EQ(ExitCode(*a, deadline), 0);
    EXPECT_EQ(ExitCode(*b, deadline), 0);
    for (const std::string host : {"alpha", "beta"}) {
        for (int port = 1; port <= kPorts; ++port) {
            EXPECT_TRUE(RememberedFingerprint(store, host, port)) << host << ":" << port;
        }
    }
}

TEST_F(QSettingsBackendTest, TwoSetupDialogsEachKeepTheChangeTheirUserMade) {
    const std::unique_ptr<QProcess> a = StartProbe({"setup", "wrap"});
    const std::unique_ptr<QProcess> b = StartProbe({"setup", "localecho"});
    const QDeadlineTimer deadline(60000);
    ASSERT_TRUE(Await(*a, "ready", deadline));
    ASSERT_TRUE(Await(*b, "ready", deadline));
    a->write("ok\n");
    EXPECT_EQ(ExitCode(*a, deadline), 0);
    b->write("ok\n");
    EXPECT_EQ(ExitCode(*b, deadline), 0);

    const TerminalSettings settings = ReadTerminalSettings(store);
    EXPECT_TRUE(settings.options.Wrap());
    EXPECT_TRUE(settings.options.LocalEcho());
    EXPECT_EQ(ReadConfFile(), "[settings]\nlocalecho=1\nwrap=1\n");
}

// A process killed just after it created a lock file leaves it empty: the
// store's own lock, the one taken while taking that over, and the one
// QSettings takes around each write.
// The write runs in a second instance, given less time than the 30 s that
// Qt's own lock files wait before they count as left over.
TEST_F(QSettingsBackendTest, EmptyLockFilesOfADeadProcessAreTakenOver) {
    ASSERT_TRUE(QDir().mkpath(configHome_ + "/Brannock"));
    for (const QString& name : {ConfPath() + ".lock", ConfPath() + ".update-lock",
                                ConfPath() + ".update-lock.rmlock"}) {
        QFile lock(name);
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    }
    const std::unique_ptr<QProcess> writer = StartProbe({"save-history", "alpha", "1"});
    EXPECT_EQ(ExitCode(*writer, QDeadlineTimer(20000)), 0);
    EXPECT_EQ(FillHostList(store).editText, "alpha-1-1");
    EXPECT_FALSE(QFile::exists(ConfPath() + ".lock"));
    EXPECT_FALSE(QFile::exists(ConfPath() + ".update-lock"));
    EXPECT_FALSE(QFile::exists(ConfPath() + ".update-lock.rmlock"));
}

std::vector<std::pair<QString, QString>> logged;

void Note(QtMsgType, const QMessageLogContext& context, const QString& text) {
    logged.emplace_back(context.category, text);
}

// Another instance holds the store, however long: a write waits for it a
// bounded time, then writes nothing, says so, and reports failure.
TEST_F(QSettingsBackendTest, AWriteThatCannotHoldTheStoreWritesNothingAndSaysWhy) {
    ASSERT_TRUE(store.WriteSetting("Settings", "wrap", "0"));
    const std::unique_ptr<QProcess> holder = StartProbe({"hold"});
    ASSERT_TRUE(Await(*holder, "held", QDeadlineTimer(30000)));

    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(Note);
    const bool written = store.WriteSetting("Settings", "wrap", "1");
    qInstallMessageHandler(previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(store.ReadIntSetting("Settings", "wrap", -1), 0);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].first, "quillterm.settings");
    EXPECT_TRUE(logged[0].second.startsWith("Settings not written: " + ConfPath() +
                                            ".update-lock stayed locked by another process"))
        << logged[0].second.toStdString();

    holder->closeWriteChannel();
    EXPECT_EQ(ExitCode(*holder, QDeadlineTimer(30000)), 0);
    EXPECT_TRUE(store.WriteSetting("Settings", "wrap", "1"));
    EXPECT_EQ(store.ReadIntSetting("Settings", "wrap", -1), 1);
}

// The window's store while another instance holds the store, stopped say:
// its writes return at once and are written, in order, when the store frees.
TEST_F(QSettingsBackendTest, AWindowsWritesWhileTheStoreIsHeldAreKeptAndWrittenWhenItFrees) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    const QCoreApplication events(argc, argv);
    QSettingsBackend window(QSettingsBackend::Busy::kKeep);
    SettingsStore windowStore(window);
    const std::unique_ptr<QProcess> holder = StartProbe({"hold"});
    ASSERT_TRUE(Await(*holder, "held", QDeadlineTimer(30000)));

    EXPECT_FALSE(windowStore.WriteSetting("Settings", "wrap", "1"));
    {
        const std::string host = "alpha";
        EXPECT_FALSE(SaveHostHistory(windowStore, host));
    }
    EXPECT_FALSE(windowStore.WriteSetting("Settings", "wrap", "0"));
    EXPECT_EQ(window.Kept(), 3u);
    EXPECT_EQ(ReadConfFile(), "");

    holder->closeWriteChannel();
    EXPECT_EQ(ExitCode(*holder, QDeadlineTimer(30000)), 0);
    const QDeadlineTimer deadline(30000);
    while (window.Kept() > 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(window.Kept(), 0u);
    EXPECT_EQ(store.ReadIntSetting("Settings", "wrap", -1), 0);
    EXPECT_EQ(FillHostList(store).editText, "alpha");

    // Free, the store is written at once.
    EXPECT_TRUE(windowStore.WriteSetting("Settings", "wrap", "1"));
    EXPECT_EQ(store.ReadIntSetting("Settings", "wrap", -1), 1);
}

// The program ends while another instance still holds the store: what is
// kept waits a bounded time, then is given up, and the end says so (the
// program tells the user in a box).
TEST_F(QSettingsBackendTest, ChangesStillKeptWhenTheProgramEndsAreReportedLost) {
    QSettingsBackend window(QSettingsBackend::Busy::kKeep);
    SettingsStore windowStore(window);
    EXPECT_TRUE(window.WriteKept()) << "nothing kept, nothing lost";
    const std::unique_ptr<QProcess> holder = StartProbe({"hold"});
    ASSERT_TRUE(Await(*holder, "held", QDeadlineTimer(30000)));

    EXPECT_FALSE(windowStore.WriteSetting("Settings", "wrap", "1"));
    EXPECT_FALSE(window.WriteKept());
    EXPECT_EQ(window.Kept(), 0u);
    EXPECT_EQ(ReadConfFile(), "");
    holder->closeWriteChannel();
    EXPECT_EQ(ExitCode(*holder, QDeadlineTimer(30000)), 0);
}

}  // namespace
}  // namespace quill
