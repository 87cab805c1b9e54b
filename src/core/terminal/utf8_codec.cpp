#include "core/terminal/utf8_codec.h"

#include <utf8proc.h>

namespace quill {

namespace {

bool IsContinuation(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

}  // namespace

// The lead byte fixes the length; whether the whole sequence is a character
// (not overlong, no surrogate, not beyond U+10FFFF) is asked once it is complete.
Utf8Decoder::Output Utf8Decoder::Feed(std::uint8_t b) {
    Output out;
    if (Open() && !IsContinuation(b)) out.malformed = Abandon();
    if (!Open()) {
        need_ = utf8proc_utf8class[b];
        if (need_ < 2) {  // a continuation byte with no lead, or no lead byte at all
            ++out.malformed;
        } else {
            bytes_[0] = b;
            have_ = 1;
        }
        return out;
    }
    bytes_[static_cast<std::size_t>(have_++)] = b;
    if (have_ < need_) return out;
    utf8proc_int32_t character = 0;
    if (utf8proc_iterate(bytes_.data(), have_, &character) == have_) {
        out.character = static_cast<char32_t>(character);
    } else {
        out.malformed += have_;
    }
    have_ = 0;
    return out;
}

int Utf8Decoder::Abandon() {
    const int abandoned = have_;
    have_ = 0;
    return abandoned;
}

int EncodeUtf8(char32_t character, std::array<std::uint8_t, 4>& bytes) {
    const auto value = static_cast<utf8proc_int32_t>(character);
    if (character > 0x10FFFF || !utf8proc_codepoint_valid(value)) return 0;
    return static_cast<int>(utf8proc_encode_char(value, bytes.data()));
}

}  // namespace quill
