// Works on the per-user store from a process of its own, as a second copy of
// the program would:
//   settings_probe read SECTION KEY      prints "value:TEXT" or "missing"
//   settings_probe write SECTION KEY TEXT   exits 1 when the write failed
//   settings_probe save-history TAG COUNT   saves COUNT whole host histories,
//                                           "TAG-i-1" to "TAG-i-10" for i = 1..COUNT
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/settings/host_history.h"
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
        std::vector<std::string> listed;
        for (int n = 2; n <= quill::kHostHistorySize; ++n)
            listed.push_back(prefix + std::to_string(n));
        if (!quill::SaveHostHistory(store, prefix + "1", listed)) return 1;
    }
    return 0;
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
    std::fprintf(stderr, "usage: settings_probe read|write|save-history ...\n");
    return 2;
}
