#include "cast_text.h"

namespace quill {

namespace {

constexpr std::uint8_t kFirstHighByte = 0x80;
constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace

void CastText::OnTerminalData(const std::uint8_t* bytes, int count) {
    for (int i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        if (b < kFirstHighByte) {
            Malformed(decoder_.Abandon());
            text_ += static_cast<char>(b);
        } else if (utf8_) {
            const Utf8Decoder::Output out = decoder_.Feed(b);
            Malformed(out.malformed);
            if (out.character != Utf8Decoder::kNoCharacter) AppendUtf8(text_, out.character);
        }
    }
}

std::string CastText::Take() {
    std::string text;
    text.swap(text_);
    return text;
}

void CastText::EndInput() {
    Malformed(decoder_.Abandon());
}

void CastText::Malformed(int count) {
    for (int i = 0; i < count; ++i) AppendUtf8(text_, kReplacementCharacter);
}

}  // namespace quill
