#pragma once

#include <span>
#include <string_view>

namespace quill {

// One entry of a drop-down menu; id 0 with an empty text is a separator.
struct MenuItem {
    std::string_view text;
    int id = 0;

    bool IsSeparator() const { return id == 0; }
};

struct MenuPopup {
    std::string_view title;
    std::span<const MenuItem> items;
};

// The menu bar of the terminal window.
std::span<const MenuPopup> TelMenu();
// The right-button menu: one popup whose items are shown directly.
const MenuPopup& PopMenu();

// Text of the host submenu put in front of the right-button menu at show time.
inline constexpr std::string_view kConnectToText = "Connect to";

}  // namespace quill
