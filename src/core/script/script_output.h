#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/script/script.h"

namespace quill {

// What a script's `send` puts on the wire, as a paste would: ASCII as it is;
// a character beyond ASCII as UTF-8 in the extended terminal and not at all
// in the plain one, which sends ASCII only; a \xHH byte as that byte. A byte
// 255 goes out twice, as Telnet wants, so that it never starts a command.
std::vector<std::uint8_t> ScriptSendBytes(const ScriptText& text, bool extended);

// The same for UTF-8 text (a password).
std::vector<std::uint8_t> Utf8SendBytes(const std::string& text, bool extended);

// What the Enter key sends: CR, or CR LF CR with CR = CR/LF translation.
std::vector<std::uint8_t> EnterBytes(bool crlfTranslation);

// Overwrites a secret before its memory is given back.
template <typename Bytes>
void ClearSecret(Bytes& bytes) {
    volatile auto* p = bytes.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) p[i] = 0;
    bytes.clear();
    bytes.shrink_to_fit();
}

}  // namespace quill
