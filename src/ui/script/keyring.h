#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QObject;

namespace quill {

// What a keyring look-up found.
struct KeyringAnswer {
    // A keyring answered at all; false when none runs or it was too slow.
    bool available = false;
    // The stored secret, when there was one (UTF-8).
    std::optional<std::string> secret;
};

// The desktop keyring, as scripts use it: secrets of the service "Quillterm"
// under keys NAME@HOST.
class Keyring {
  public:
    using Done = std::function<void(KeyringAnswer answer)>;

    virtual ~Keyring() = default;
    // Calls `done` once, on the event loop and while `context` lives, with
    // what is stored under `key`.
    virtual void Find(const std::string& key, QObject* context, Done done) = 0;
    // Stores `secret` under `key`; a failure is not reported.
    virtual void Store(const std::string& key, const std::string& secret) = 0;
};

// The Secret Service (or the platform's own keyring) through QtKeychain. A
// look-up gives up after kGiveUpMs when no keyring answers, rather than
// waiting out the D-Bus timeout.
std::shared_ptr<Keyring> MakeDesktopKeyring();

inline constexpr int kKeyringGiveUpMs = 2000;
inline constexpr char kKeyringService[] = "Quillterm";

}  // namespace quill
