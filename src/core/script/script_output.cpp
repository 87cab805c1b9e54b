#include "core/script/script_output.h"

#include <array>

#include "core/telnet/telnet_codes.h"
#include "core/terminal/utf8_codec.h"

namespace quill {
namespace {

constexpr char32_t kFirstBeyondAscii = 0x80;

void Put(std::uint8_t b, std::vector<std::uint8_t>& out) {
    out.push_back(b);
    if (b == telnet::kIac) out.push_back(b);
}

}  // namespace

std::vector<std::uint8_t> ScriptSendBytes(const ScriptText& text, bool extended) {
    std::vector<std::uint8_t> out;
    for (const char32_t c : text) {
        if (IsRawByte(c)) {
            Put(static_cast<std::uint8_t>(c - kRawByteBase), out);
        } else if (c < kFirstBeyondAscii) {
            Put(static_cast<std::uint8_t>(c), out);
        } else if (extended) {
            std::array<std::uint8_t, 4> bytes{};
            const int count = EncodeUtf8(c, bytes);
            for (int i = 0; i < count; ++i) Put(bytes[static_cast<std::size_t>(i)], out);
        }
    }
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

std::vector<std::uint8_t> EnterBytes(bool crlfTranslation) {
    if (crlfTranslation) return {'\r', '\n', '\r'};
    return {'\r'};
}

}  // namespace quill
