#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/script/script.h"

namespace quill {

// What a \xHH byte of a script's `send` puts on the wire: that byte, and
// over Telnet 255 twice, so that it never starts a command (over raw TCP
// once).
std::vector<std::uint8_t> RawByteBytes(char32_t rawByte, bool telnet);

// What a password (UTF-8) puts on the wire, as typing it would: ASCII as it
// is; beyond ASCII its UTF-8 in the extended terminal and nothing in the
// plain one, which sends ASCII only.
std::vector<std::uint8_t> Utf8SendBytes(const std::string& text, bool extended, bool telnet);

// Overwrites a secret before its memory is given back.
template <typename Bytes>
void ClearSecret(Bytes& bytes) {
    volatile auto* p = bytes.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) p[i] = 0;
    bytes.clear();
    bytes.shrink_to_fit();
}

}  // namespace quill
