#include "core/settings/trusted_certificates.h"

namespace quill {
namespace {

// A stored text longer than the colon form is never a fingerprint.
constexpr std::size_t kFingerprintBuffer = kSha256Bytes * 3 + 1;
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

std::optional<int> HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

CertificateVerdict JudgeCertificate(const std::optional<std::string>& remembered,
                                    std::string_view presented) {
    if (!remembered) return CertificateVerdict::kUntrusted;
    return *remembered == presented ? CertificateVerdict::kRemembered
                                    : CertificateVerdict::kChanged;
}

std::string TrustKey(std::string_view host, int port) {
    std::string key;
    const bool bracketed = host.find(':') != std::string_view::npos;
    if (bracketed) key += '[';
    for (const char c : host) key += AsciiLower(c);
    if (bracketed) key += ']';
    return key + ":" + std::to_string(port);
}

std::string FormatFingerprint(std::span<const std::uint8_t> digest) {
    std::string text;
    for (const std::uint8_t byte : digest) {
        if (!text.empty()) text += ':';
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0F];
    }
    return text;
}

std::optional<std::string> ReadFingerprint(std::string_view text) {
    const bool colons = text.size() == kSha256Bytes * 3 - 1;
    if (!colons && text.size() != kSha256Bytes * 2) return std::nullopt;
    const std::size_t step = colons ? 3 : 2;
    std::uint8_t digest[kSha256Bytes];
    for (std::size_t i = 0; i < kSha256Bytes; ++i) {
        const std::size_t at = i * step;
        if (colons && i > 0 && text[at - 1] != ':') return std::nullopt;
        const std::optional<int> high = HexValue(text[at]);
        const std::optional<int> low = HexValue(text[at + 1]);
        if (!high || !low) return std::nullopt;
        digest[i] = static_cast<std::uint8_t>(*high << 4 | *low);
    }
    return FormatFingerprint(digest);
}

std::optional<std::string> RememberedFingerprint(SettingsStore& store, std::string_view host,
                                                 int port) {
    std::string stored;
    if (store.ReadSetting(kCertificatesSection, TrustKey(host, port), "", stored,
                          kFingerprintBuffer) == 0) {
        return std::nullopt;
    }
    return ReadFingerprint(stored);
}

bool RememberFingerprint(SettingsStore& store, std::string_view host, int port,
                         std::string_view fingerprint) {
    // A write of one key holds the store against other writers by itself.
    return store.WriteSetting(kCertificatesSection, TrustKey(host, port), fingerprint);
}

}  // namespace quill
