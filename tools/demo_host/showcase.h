#pragma once

#include <string>
#include <string_view>

namespace quill::demo {

// The VT100 showcase the demo host sends after the negotiation: a screen's
// worth of lines for the scroll-back, then bold and reverse text, a box of
// line-drawing characters and a scrolling region at work, and the prompt.
std::string Showcase(std::string_view terminalType);

inline constexpr std::string_view kPrompt = "demo> ";

}  // namespace quill::demo
