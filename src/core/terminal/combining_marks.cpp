#include "core/terminal/combining_marks.h"

namespace quill {

namespace {

// Reclaiming searches every cell; it is worth it once a quarter of the table
// has been asked for since the last search.
constexpr std::size_t kReclaimInterval = CombiningMarks::kMaxEntries / 4;

}  // namespace

std::uint16_t CombiningMarks::Join(std::uint16_t entry, char32_t mark) {
    if (entries_[entry].size() == kMarksPerCell) return entry;
    std::u32string marks = entries_[entry];
    marks += mark;
    if (const auto found = numbers_.find(marks); found != numbers_.end()) return found->second;
    ++sinceReclaim_;
    if (Full()) return entry;
    std::uint16_t number = 0;
    if (free_.empty()) {
        number = static_cast<std::uint16_t>(entries_.size());
        entries_.push_back(marks);
    } else {
        number = free_.back();
        free_.pop_back();
        entries_[number] = marks;
    }
    numbers_.emplace(std::move(marks), number);
    return number;
}

bool CombiningMarks::ReclaimDue() const {
    return Full() && sinceReclaim_ >= kReclaimInterval;
}

void CombiningMarks::Reclaim(const std::vector<bool>& used) {
    for (std::size_t number = 1; number < entries_.size(); ++number) {
        std::u32string& marks = entries_[number];
        if (used[number] || marks.empty()) continue;
        numbers_.erase(marks);
        marks.clear();
        free_.push_back(static_cast<std::uint16_t>(number));
    }
    sinceReclaim_ = 0;
}

}  // namespace quill
