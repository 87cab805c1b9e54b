#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/settings/settings_store.h"

namespace quill {

// Certificates the user chose to trust, one per host and port, in section
// "certificates" of the settings: the key "HOST:PORT" (the host in lower
// case, an IPv6 address in brackets), the value the certificate's SHA-256
// fingerprint as hex, with or without colons between the bytes.
inline constexpr std::string_view kCertificatesSection = "certificates";
inline constexpr std::size_t kSha256Bytes = 32;

// What to do with a certificate the system's authorities do not vouch for
// (one they vouch for, with the host's name, needs no verdict).
enum class CertificateVerdict {
    kRemembered,  // the one the user trusted for this host and port
    kUntrusted,   // ask whether to trust it
    kChanged,     // another one was trusted here: warn before trusting it
};

// By what was remembered for the host and port (none when nothing, or a
// damaged entry, is).
CertificateVerdict JudgeCertificate(const std::optional<std::string>& remembered,
                                    std::string_view presented);

// "HOST:PORT" as the section keys it.
std::string TrustKey(std::string_view host, int port);

// A fingerprint as openssl prints it: upper-case hex, a colon between bytes.
std::string FormatFingerprint(std::span<const std::uint8_t> digest);

// The fingerprint in that form when text is 64 hex digits in either case,
// bare or with a colon between every two; none for anything else.
std::optional<std::string> ReadFingerprint(std::string_view text);

// The fingerprint remembered for host and port, formatted; none when there is
// none or what is stored is no fingerprint (a damaged entry is not trusted).
std::optional<std::string> RememberedFingerprint(SettingsStore& store, std::string_view host,
                                                 int port);

// Remembers fingerprint for host and port, replacing what was remembered for
// them, in one write under the store's update lock: copies trusting other
// hosts at the same time keep theirs. False when the store could not be held or written.
bool RememberFingerprint(SettingsStore& store, std::string_view host, int port,
                         std::string_view fingerprint);

}  // namespace quill
