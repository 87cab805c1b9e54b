#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/interfaces/transfer_sink.h"

namespace quill {

// Finds ZMODEM hex headers ("**" ZDLE "B0" and the type's hex digit) in
// data fed one byte at a time, so however it is split.
class ZmodemHexHeaders {
  public:
    static constexpr std::uint8_t kZrqinit = '0';
    static constexpr std::uint8_t kZrinit = '1';
    static constexpr std::uint8_t kZfin = '8';

    // The header's type digit when `b` completes a header.
    std::optional<std::uint8_t> Feed(std::uint8_t b);
    void Reset() { matched_ = 0; }
    // Whether nothing of a header has matched: bytes up to the next '*'
    // cannot start one.
    bool Idle() const { return matched_ == 0; }

  private:
    std::size_t matched_ = 0;  // bytes of "**\x18B0" seen so far
};

// Finds the start of a ZMODEM transfer in the host's data: a hex header
// "**" ZDLE "B0" followed by '0' (ZRQINIT) or '1' (ZRINIT). The header may
// be split across blocks; what has matched so far is carried to the next.
class ZmodemStartDetector {
  public:
    struct Found {
        ZmodemStart kind;
        // Index in the block just after the header's type ("**\x18B00" in
        // full); the header may have started in an earlier block.
        std::size_t end;
    };

    std::optional<Found> Scan(std::span<const std::uint8_t> data);
    void Reset() { headers_.Reset(); }

  private:
    ZmodemHexHeaders headers_;
};

// The header's first bytes, which a detected start has already consumed:
// the child process is handed them ahead of the rest.
std::span<const std::uint8_t> ZmodemHeaderStart(ZmodemStart kind);

// What makes both ends give up: eight CANs, then as many backspaces (the
// latter wipe the CANs from a terminal that shows them).
std::span<const std::uint8_t> ZmodemAbort();

}  // namespace quill
