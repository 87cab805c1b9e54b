#include "core/terminal/hyperlinks.h"

#include <algorithm>

namespace quill {

namespace {

// Reclaiming reads every cell the screen keeps: it is done once per this
// many cells for each link refused, so that a host declaring links without
// end costs a bounded share of reading per link.
constexpr std::size_t kCellsPerRefusal = 4096;

bool Printable(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

}  // namespace

std::uint16_t Hyperlinks::Add(std::string_view id, std::string_view target) {
    if (target.empty() || target.size() > kMaxTargetBytes || id.size() > kMaxIdBytes ||
        !Printable(target)) {
        return 0;
    }
    std::uint16_t free = 0;
    for (std::uint16_t entry = 1; entry <= kMaxEntries; ++entry) {
        const Entry& kept = entries_[entry];
        if (kept.target == target && kept.id == id) return entry;
        if (free == 0 && kept.target.empty()) free = entry;
    }
    if (free == 0) {
        ++refused_;
        return 0;
    }
    entries_[free] = {std::string(id), std::string(target)};
    return free;
}

bool Hyperlinks::ReclaimDue(std::size_t cells) const {
    return refused_ > 0 && refused_ * kCellsPerRefusal >= cells;
}

void Hyperlinks::Reclaim(const std::vector<bool>& used) {
    for (std::size_t entry = 1; entry <= kMaxEntries; ++entry) {
        if (!used[entry]) entries_[entry] = {};
    }
    refused_ = 0;
}

}  // namespace quill
