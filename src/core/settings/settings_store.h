#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// One key of a section with the text to store under it.
struct SettingEntry {
    std::string key;
    std::string text;
};

// Where settings live: a per-user map from (section, key) to a text.
// SettingsStore hands names over in lower case, so a backend may compare them
// exactly and still treat "MaximizeOnStart" and "maximizeOnStart" as one key.
class SettingsBackend {
  public:
    virtual ~SettingsBackend() = default;

    // The stored text, or nothing when the key is missing or cannot be read.
    virtual std::optional<std::string> ReadText(const std::string& section,
                                                const std::string& key) = 0;

    // Stores all entries in one write, creating whatever is missing: another
    // process sees either none of them or all of them. Each write is an
    // Update of its own unless it is part of one. False when the store could
    // not be written.
    virtual bool WriteTexts(const std::string& section,
                            const std::vector<SettingEntry>& entries) = 0;

    // Read-modify-write: runs change while this process holds the store
    // against every other writer, here and in other processes, so what
    // change reads is the store as it stands and nothing lands between those
    // reads and change's own writes. Calls nest: an Update inside another
    // runs as part of it. Returns what change returned, or false without
    // running it when the store could not be held within a bounded wait.
    virtual bool Update(const std::function<bool()>& change) = 0;

    bool WriteText(const std::string& section, const std::string& key, const std::string& text) {
        return WriteTexts(section, {SettingEntry{key, text}});
    }
};

// Integer settings are read as text into a buffer of this many bytes.
inline constexpr std::size_t kIntSettingBufferSize = 80;

// The standard decimal conversion: leading white space, an optional sign, then
// digits up to the first other character; no digits give 0. Values beyond the
// range of int give INT_MAX or INT_MIN.
int ParseDecimal(std::string_view text);

// Reads and writes settings by section and key name; names are compared
// without regard to case. Keeps no copy: every read goes to the backend and
// every write is immediate.
class SettingsStore {
  public:
    explicit SettingsStore(SettingsBackend& backend) : backend_(backend) {}

    // Puts the stored text into out and returns 1. When there is none, or it
    // would not fit a buffer of bufferSize bytes (bufferSize - 1 characters),
    // puts defaultText into out instead and returns 0.
    int ReadSetting(std::string_view section, std::string_view key, std::string_view defaultText,
                    std::string& out, std::size_t bufferSize);

    // The decimal value of the stored text, or defaultValue when there is none
    // (or it is longer than kIntSettingBufferSize - 1 characters).
    int ReadIntSetting(std::string_view section, std::string_view key, int defaultValue);

    // Stores text under (section, key); false when the store could not be
    // written. Callers may ignore the result: a failed write is not reported
    // in the window.
    bool WriteSetting(std::string_view section, std::string_view key, std::string_view text);

    // Stores several keys of one section in a single write.
    bool WriteSettings(std::string_view section, const std::vector<SettingEntry>& entries);

    // Runs change, which reads and writes through this store, as one
    // read-modify-write (SettingsBackend::Update).
    bool Update(const std::function<bool()>& change) { return backend_.Update(change); }

  private:
    SettingsBackend& backend_;
};

}  // namespace quill
