#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quill {

// The combining marks of the screen's cells, kept outside the cells: a cell
// holds the number of an entry, 0 for none. Cells with the same marks share
// one entry, so text that repeats its accents takes one entry per kind.
// The table is bounded: at most kMaxEntries entries of at most
// kMarksPerCell marks; a mark beyond either limit is dropped. Entries no cell
// refers to any more are freed when the screen, which alone knows its cells,
// hands the table the numbers still in use (Reclaim).
class CombiningMarks {
  public:
    // Entry numbers 1 to 65535 fit a cell's field.
    static constexpr std::size_t kMaxEntries = 0xFFFF;
    static constexpr std::size_t kMarksPerCell = 8;

    // The entry for the marks of `entry` followed by `mark`: `entry` itself
    // when the mark cannot be kept.
    std::uint16_t Join(std::uint16_t entry, char32_t mark);
    // The marks of an entry, in the order they came; empty for 0.
    std::u32string_view Marks(std::uint16_t entry) const { return entries_[entry]; }

    // Whether the screen should look for entries to free now: the table is
    // full, and enough marks have been joined or refused since the last
    // time that looking again can pay (a full table of entries in use would
    // otherwise have every cell searched at each new mark).
    bool ReclaimDue() const;
    // Frees every entry whose number `used` does not mark.
    void Reclaim(const std::vector<bool>& used);

  private:
    bool Full() const { return free_.empty() && entries_.size() > kMaxEntries; }

    std::vector<std::u32string> entries_ = std::vector<std::u32string>(1);  // 0: no marks
    std::unordered_map<std::u32string, std::uint16_t> numbers_;
    std::vector<std::uint16_t> free_;  // numbers of freed entries, for reuse
    std::size_t sinceReclaim_ = 0;     // entries made or refused since the last Reclaim
};

}  // namespace quill
