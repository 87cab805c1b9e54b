// Works on the per-user store from a process of its own, as a second copy of
// the program would:
//   settings_probe read SECTION KEY      prints "value:TEXT" or "missing"
//   settings_probe write SECTION KEY TEXT   exits 1 when the write failed
//   settings_probe save-history TAG COUNT   saves COUNT whole host histories,
//                                           "TAG-i-1" to "TAG-i-10" for i = 1..COUNT
//   settings_probe trust HOST COUNT      trusts a certificate for HOST on ports
//                                        1..COUNT, one write each
//   settings_probe hold                  holds the store, prints "held" and
//                                        keeps it until its input ends
// Two run the program's own dialogs (offscreen): they open the dialog, print
// "ready", and press OK when a line arrives on their input:
//   settings_probe connect HOST JOURNAL  the Connect dialog with HOST typed;
//                                        appends HOST to JOURNAL when it
//                                        gets hold of the store
//   settings_probe setup BOX             the Setup dialog with BOX ("wrap" or
//                                        "localecho") clicked
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "core/settings/host_history.h"
#include "core/settings/trusted_certificates.h"
#include "ui/dialogs/connect_dialog.h"
#include "ui/dialogs/setup_dialog.h"
#include "ui/settings/qsettings_backend.h"

namespace {

int Read(quill::SettingsBackend& backend, const std::string& section, const std::string& key) {
    const std::optional<std::string> text = backend.ReadText(section, key);
    if (text) {
        std::printf("value:%s", text->c_str());
    } else {
        std::printf("missing");
    }
    return 0;
}

int SaveHistories(quill::SettingsStore& store, const std::string& tag, int count) {
    for (int i = 1; i <= count; ++i) {
        const std::string prefix = tag + "-" + std::to_string(i) + "-";
        std::vector<quill::SettingEntry> entries;
        for (int n = 1; n <= quill::kHostHistorySize; ++n)
            entries.push_back({quill::HostKey(n), prefix + std::to_string(n)});
        if (!store.WriteSettings(quill::kHostsSection, entries)) return 1;
    }
    return 0;
}

int Trust(quill::SettingsStore& store, const std::string& host, int count) {
    const std::string fingerprint(quill::kSha256Bytes * 2, 'C');
    for (int port = 1; port <= count; ++port) {
        if (!quill::RememberFingerprint(store, host, port, fingerprint)) return 1;
    }
    return 0;
}

void Say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Waits for a line, or the end, of the input.
void AwaitInput() {
    std::string line;
    std::getline(std::cin, line);
}

int Hold(quill::SettingsStore& store) {
    return store.Update([] {
        Say("held");
        AwaitInput();
        return true;
    })
               ? 0
               : 1;
}

// The program's store, writing a line to a journal each time it gets hold of
// it: the journal lists the holders in the order they held the store.
class JournalBackend final : public quill::SettingsBackend {
  public:
    JournalBackend(quill::SettingsBackend& store, const QString& journal, const std::string& line)
        : store_(store), journal_(journal), line_(line + "\n") {}

    std::optional<std::string> ReadText(const std::string& section,
                                        const std::string& key) override {
        return store_.ReadText(section, key);
    }
    bool WriteTexts(const std::string& section,
                    const std::vector<quill::SettingEntry>& entries) override {
        return Update([&] { return store_.WriteTexts(section, entries); });
    }
    bool Update(const std::function<bool()>& change) override {
        if (holding_) return change();
        return store_.Update([&] {
            QFile journal(journal_);
            if (!journal.open(QIODevice::Append) || journal.write(line_.c_str()) < 0) return false;
            journal.close();
            holding_ = true;
            const bool result = change();
            holding_ = false;
            return result;
        });
    }

  private:
    quill::SettingsBackend& store_;
    QString journal_;
    std::string line_;
    bool holding_ = false;
};

int Connect(quill::SettingsBackend& backend, const std::string& host, const QString& journal) {
    JournalBackend noted(backend, journal, host);
    quill::SettingsStore store{noted};
    quill::ConnectionTarget target;
    quill::ConnectDialog dialog(nullptr, store, target);
    Say("ready");
    AwaitInput();
    dialog.Dialog().SetItemText(quill::ConnectControl::kHost, host);
    dialog.Dialog().SendCommand(quill::ConnectControl::kOk);
    return dialog.Dialog().result() == 1 ? 0 : 1;
}

int Setup(quill::SettingsStore& store, const std::string& box) {
    quill::TerminalSettings settings = quill::ReadTerminalSettings(store);
    quill::SetupSession session;
    const quill::SetupTarget target{settings, store, 16, 16, nullptr};
    quill::SetupDialog setup(session, target, nullptr);
    const quill::SetupControl id =
        box == "wrap" ? quill::SetupControl::kWrap : quill::SetupControl::kLocalEcho;
    setup.Dialog().ControlAs<QCheckBox>(id)->click();
    Say("ready");
    AwaitInput();
    setup.Dialog().SendCommand(quill::SetupControl::kOk);
    return setup.Dialog().result() == 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    quill::QSettingsBackend backend;
    quill::SettingsStore store{backend};
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "read" && argc == 4) return Read(backend, argv[2], argv[3]);
    if (command == "write" && argc == 5)
        return store.WriteSetting(argv[2], argv[3], argv[4]) ? 0 : 1;
    if (command == "save-history" && argc == 4)
        return SaveHistories(store, argv[2], std::atoi(argv[3]));
    if (command == "hold" && argc == 2) return Hold(store);
    if (command == "trust" && argc == 4) return Trust(store, argv[2], std::atoi(argv[3]));
    if ((command == "connect" && argc == 4) || (command == "setup" && argc == 3)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication application(argc, argv);
        if (command == "connect") return Connect(backend, argv[2], QString::fromLocal8Bit(argv[3]));
        return Setup(store, argv[2]);
    }
    std::fprintf(stderr, "usage: settings_probe read|write|save-history|hold|connect|setup ...\n");
    return 2;
}
