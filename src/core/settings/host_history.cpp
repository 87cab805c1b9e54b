#include "core/settings/host_history.h"

namespace quill {

std::string_view Cut(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::string HostKey(int number) {
    return "host" + std::to_string(number);
}

std::string ReadHostEntry(SettingsStore& store, int number, std::size_t bufferSize) {
    std::string host;
    store.ReadSetting(kHostsSection, HostKey(number), "", host, bufferSize);
    return host;
}

HostHistory ReadHostHistory(SettingsStore& store, std::size_t bufferSize) {
    HostHistory history;
    for (int number = 1; number <= kHostHistorySize; ++number) {
        history[number - 1] = ReadHostEntry(store, number, bufferSize);
    }
    return history;
}

HostList FillHostList(SettingsStore& store) {
    const HostHistory history = ReadHostHistory(store, kHostBufferSize);
    HostList list;
    list.editText = history[0];
    for (const std::string& host : history) {
        if (!host.empty()) list.hosts.push_back(host);
    }
    return list;
}

std::string HostEntryText(const ConnectionTarget& target) {
    if (!target.Tls && !target.Raw && target.PortNumber == kDefaultPort) return target.HostName;
    // Only an IPv6 address holds a colon.
    const bool bracketed = target.HostName.find(':') != std::string::npos;
    std::string entry = target.Raw ? (target.Tls ? "raws://" : "raw://")
                                   : (target.Tls ? "telnets://" : "");
    entry += bracketed ? "[" + target.HostName + "]" : target.HostName;
    return entry + ":" + std::to_string(target.PortNumber);
}

HostHistory HostHistoryAfterSave(std::string_view newHost, const std::vector<std::string>& listed) {
    HostHistory history;
    history[0] = Cut(newHost, kHostBufferSize - 1);
    auto slot = history.begin() + 1;
    for (const std::string& entry : listed) {
        if (slot == history.end()) break;
        const std::string_view kept = Cut(entry, kHostBufferSize - 1);
        if (kept != history[0]) *slot++ = kept;
    }
    return history;
}

bool SaveHostHistory(SettingsStore& store, std::string_view newHost) {
    // The host by value: a store may run the change after this returns.
    return store.Update([&store, host = std::string(newHost)] {
        const HostHistory history = HostHistoryAfterSave(host, FillHostList(store).hosts);
        std::vector<SettingEntry> entries;
        for (int number = 1; number <= kHostHistorySize; ++number) {
            entries.push_back({HostKey(number), history[number - 1]});
        }
        return store.WriteSettings(kHostsSection, entries);
    });
}

}  // namespace quill
