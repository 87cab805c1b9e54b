#include "core/script/recent_text.h"

#include <algorithm>

namespace quill {

void RecentText::Add(const char32_t* text, std::size_t count) {
    text_.append(text, count);
    // Trimmed in bulk, not per character: memory stays within twice the window.
    if (text_.size() > 2 * kWindow) Forget(text_.size() - kWindow);
}

void RecentText::Clear() {
    text_.clear();
    searched_ = 0;
}

void RecentText::Forget(std::size_t count) {
    text_.erase(0, count);
    searched_ = searched_ > count ? searched_ - count : 0;
}

std::optional<int> RecentText::TakeMatch(const std::vector<std::u32string>& texts) {
    if (text_.size() > kWindow) Forget(text_.size() - kWindow);
    if (texts != searchedFor_) {
        searchedFor_ = texts;
        searched_ = 0;
    }
    std::optional<int> best;
    std::size_t bestEnd = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::u32string& wanted = texts[i];
        // An appearance that ends at or before `searched_` was looked for already.
        const std::size_t from = searched_ >= wanted.size() ? searched_ - wanted.size() + 1 : 0;
        const std::size_t at = text_.find(wanted, from);
        if (at == std::u32string::npos) continue;
        const std::size_t end = at + wanted.size();
        if (!best || end < bestEnd) {
            best = static_cast<int>(i + 1);
            bestEnd = end;
        }
    }
    if (best) {
        Forget(bestEnd);
        searched_ = 0;
    } else {
        searched_ = text_.size();
    }
    return best;
}

}  // namespace quill
