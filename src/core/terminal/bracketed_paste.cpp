#include "core/terminal/bracketed_paste.h"

namespace quill {

// Each character is appended, and an end bracket completed by it is taken off
// again at once: what is left holds none, however the brackets nest.
std::u16string WithoutPasteEnds(std::u16string_view text) {
    const std::u16string end(kPasteEnd.begin(), kPasteEnd.end());
    std::u16string kept;
    kept.reserve(text.size());
    for (const char16_t c : text) {
        kept.push_back(c);
        if (kept.size() >= end.size() &&
            kept.compare(kept.size() - end.size(), end.size(), end) == 0) {
            kept.resize(kept.size() - end.size());
        }
    }
    return kept;
}

std::u16string WithEnterLineEnds(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        out.push_back(text[i] == u'\n' ? u'\r' : text[i]);
    }
    return out;
}

}  // namespace quill
