#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quill {

// The text the host printed lately, as a script's `expect` looks at it: at
// most kWindow characters, the oldest forgotten first, so that a flood
// cannot grow memory.
class RecentText {
  public:
    static constexpr std::size_t kWindow = 64 * 1024;

    void Add(const char32_t* text, std::size_t count);
    void Clear();

    // The number (1, 2, ...) of the text whose first appearance in the window
    // ends earliest (the lower number when two end together), and forgets
    // everything up to the end of that appearance. None when no text appears.
    std::optional<int> TakeMatch(const std::vector<std::u32string>& texts);

  private:
    void Forget(std::size_t count);

    std::u32string text_;
    // Where the last failed search for these texts ended: none of them ends
    // before it, so the next search for them starts from there.
    std::vector<std::u32string> searchedFor_;
    std::size_t searched_ = 0;
};

}  // namespace quill
