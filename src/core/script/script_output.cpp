#include "core/script/script_output.h"

#include "core/telnet/iac_doubling.h"

namespace quill {
namespace {

constexpr char32_t kFirstBeyondAscii = 0x80;

void Put(std::uint8_t b, std::vector<std::uint8_t>& out) {
    AppendIacDoubled({&b, 1}, out);
}

}  // namespace

std::vector<std::uint8_t> RawByteBytes(char32_t rawByte) {
    std::vector<std::uint8_t> out;
    Put(static_cast<std::uint8_t>(rawByte - kRawByteBase), out);
    return out;
}

// Valid UTF-8 never holds the byte 255.
std::vector<std::uint8_t> Utf8SendBytes(const std::string& text, bool extended) {
    std::vector<std::uint8_t> out;
    out.reserve(2 * text.size());  // no reallocation leaves a copy behind
    for (const char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b < kFirstBeyondAscii || extended) Put(b, out);
    }
    return out;
}

}  // namespace quill
