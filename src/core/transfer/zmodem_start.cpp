#include "core/transfer/zmodem_start.h"

#include <array>
#include <cstring>

namespace quill {
namespace {

constexpr std::uint8_t kZdle = 0x18;
constexpr std::array<std::uint8_t, 5> kPrefix = {'*', '*', kZdle, 'B', '0'};
constexpr std::array<std::uint8_t, 6> kZrqinit = {'*', '*', kZdle, 'B', '0', '0'};
constexpr std::array<std::uint8_t, 6> kZrinit = {'*', '*', kZdle, 'B', '0', '1'};

constexpr std::array<std::uint8_t, 16> kAbort = {0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x18,
                                                 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};

bool IsHexDigit(std::uint8_t b) {
    return (b >= '0' && b <= '9') || (b >= 'a' && b <= 'f');
}

}  // namespace

// The prefix has no byte that repeats after its start but '*': a mismatch
// falls back to one '*' matched when the byte is '*' itself ("***" starts
// over at its second star).
std::optional<std::uint8_t> ZmodemHexHeaders::Feed(std::uint8_t b) {
    if (matched_ == kPrefix.size()) {
        matched_ = 0;
        if (IsHexDigit(b)) return b;
    }
    if (b == kPrefix[matched_]) {
        ++matched_;
    } else if (matched_ == 2 && b == '*') {
        // "***": still two stars.
    } else {
        matched_ = b == '*' ? 1 : 0;
    }
    return std::nullopt;
}

// Text between headers, nearly all a terminal sees, is passed over up to
// its next star at once.
std::optional<ZmodemStartDetector::Found> ZmodemStartDetector::Scan(
    std::span<const std::uint8_t> data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (headers_.Idle()) {
            const void* star = std::memchr(data.data() + i, '*', data.size() - i);
            if (star == nullptr) return std::nullopt;
            i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(star) - data.data());
        }
        const std::optional<std::uint8_t> type = headers_.Feed(data[i]);
        if (type == ZmodemHexHeaders::kZrqinit) return Found{ZmodemStart::kDownload, i + 1};
        if (type == ZmodemHexHeaders::kZrinit) return Found{ZmodemStart::kUpload, i + 1};
    }
    return std::nullopt;
}

std::span<const std::uint8_t> ZmodemHeaderStart(ZmodemStart kind) {
    return kind == ZmodemStart::kDownload ? std::span<const std::uint8_t>(kZrqinit)
                                          : std::span<const std::uint8_t>(kZrinit);
}

std::span<const std::uint8_t> ZmodemAbort() {
    return kAbort;
}

}  // namespace quill
