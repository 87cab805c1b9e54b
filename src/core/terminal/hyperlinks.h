#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The hyperlinks the host declared (OSC 8) for the screen's cells, kept
// outside the cells: a cell holds the number of an entry in its flags, 0 for
// none. Links with the same id and target share one entry. The table is
// bounded: at most kMaxEntries entries, each target at most kMaxTargetBytes
// bytes of printable text and each id at most kMaxIdBytes; a link beyond
// either limit is refused (its text is plain). Entries no cell refers to any
// more are freed when the screen, which alone knows its cells, hands the
// table the numbers still in use (Reclaim).
class Hyperlinks {
  public:
    // Entry numbers 1 to 127 fit the cell's flags (cell_flags::kLinkShift).
    static constexpr std::size_t kMaxEntries = 127;
    static constexpr std::size_t kMaxTargetBytes = 2048;
    static constexpr std::size_t kMaxIdBytes = 256;

    // The entry for a link: 0 when it is refused or the target is empty.
    std::uint16_t Add(std::string_view id, std::string_view target);
    // A link's target; empty for 0.
    std::string_view Target(std::uint16_t entry) const { return entries_[entry].target; }

    // Whether the screen should look for entries to free now: the table is
    // full, and enough links have been refused since the last time, for the
    // `cells` the screen keeps, that looking again can pay.
    bool ReclaimDue(std::size_t cells) const;
    // Frees every entry whose number `used` does not mark.
    void Reclaim(const std::vector<bool>& used);

  private:
    struct Entry {
        std::string id;
        std::string target;
    };
    std::vector<Entry> entries_ = std::vector<Entry>(kMaxEntries + 1);  // 0: no link
    std::size_t refused_ = 0;  // links refused for want of room since the last Reclaim
};

}  // namespace quill
