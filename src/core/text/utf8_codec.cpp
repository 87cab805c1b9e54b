#include "core/text/utf8_codec.h"

#include <utf8proc.h>

namespace quill {

namespace {

constexpr std::uint8_t kFirstLead = 0xC2;  // C0 and C1 begin only overlong forms
constexpr std::uint8_t kLastLead = 0xF4;   // beyond it, values above U+10FFFF

bool IsContinuation(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

bool InRange(std::uint8_t b, std::uint8_t low, std::uint8_t high) {
    return b >= low && b <= high;
}

}  // namespace

// The second byte is where overlong forms, surrogates and values beyond
// U+10FFFF show first; every later byte is any continuation byte.
bool Utf8Decoder::Continues(std::uint8_t b) const {
    if (have_ > 1) return IsContinuation(b);
    switch (bytes_[0]) {
        case 0xE0:
            return InRange(b, 0xA0, 0xBF);
        case 0xED:
            return InRange(b, 0x80, 0x9F);
        case 0xF0:
            return InRange(b, 0x90, 0xBF);
        case 0xF4:
            return InRange(b, 0x80, 0x8F);
        default:
            return IsContinuation(b);
    }
}

void Utf8Decoder::Begin(std::uint8_t lead, Output& out) {
    if (!InRange(lead, kFirstLead, kLastLead)) {
        ++out.malformed;  // a continuation byte with no lead, or a byte that is never a lead
        return;
    }
    need_ = utf8proc_utf8class[lead];
    bytes_[0] = lead;
    have_ = 1;
}

Utf8Decoder::Output Utf8Decoder::Feed(std::uint8_t b) {
    Output out;
    if (Open() && !Continues(b)) out.malformed = Abandon();
    if (!Open()) {
        Begin(b, out);
        return out;
    }
    bytes_[static_cast<std::size_t>(have_++)] = b;
    if (have_ < need_) return out;
    utf8proc_int32_t character = 0;
    if (utf8proc_iterate(bytes_.data(), have_, &character) == have_) {
        out.character = static_cast<char32_t>(character);
    } else {
        ++out.malformed;
    }
    have_ = 0;
    return out;
}

int Utf8Decoder::Abandon() {
    const int abandoned = Open() ? 1 : 0;
    have_ = 0;
    return abandoned;
}

int EncodeUtf8(char32_t character, std::array<std::uint8_t, 4>& bytes) {
    const auto value = static_cast<utf8proc_int32_t>(character);
    if (character > 0x10FFFF || !utf8proc_codepoint_valid(value)) return 0;
    return static_cast<int>(utf8proc_encode_char(value, bytes.data()));
}

void AppendUtf8(std::string& text, char32_t character) {
    std::array<std::uint8_t, 4> bytes{};
    const int count = EncodeUtf8(character, bytes);
    text.append(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(count));
}

}  // namespace quill
