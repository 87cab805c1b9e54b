#include "core/script/script_output.h"

#include "core/telnet/iac_doubling.h"

namespace quill {
namespace {

constexpr char32_t kFirstBeyondAscii = 0x80;

// Over Telnet an IAC goes twice; over raw TCP every byte as it is.
void Put(std::uint8_t b, bool telnet, std::vector<std::uint8_t>& out) {
    if (telnet) {
        AppendIacDoubled({&b, 1}, out);
    } else {
        out.push_back(b);
    }
}

}  // namespace

std::vector<std::uint8_t> RawByteBytes(char32_t rawByte, bool telnet) {
    std::vector<std::uint8_t> out;
    Put(static_cast<std::uint8_t>(rawByte - kRawByteBase), telnet, out);
    return out;
}

// Valid UTF-8 never holds the byte 255.
std::vector<std::uint8_t> Utf8SendBytes(const std::string& text, bool extended, bool telnet) {
    std::vector<std::uint8_t> out;
    out.reserve(2 * text.size());  // no reallocation leaves a copy behind
    for (const char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b < kFirstBeyondAscii || extended) Put(b, telnet, out);
    }
    return out;
}

}  // namespace quill
