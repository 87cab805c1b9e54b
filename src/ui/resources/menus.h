#pragma once

#include <span>
#include <string_view>

#include "ui/resources/command_ids.h"

namespace quill {

struct MenuPopup;

// One entry of a drop-down menu: a command, a submenu, or (with neither) a
// separator.
struct MenuItem {
    std::string_view text;
    CommandId id = CommandId::kNone;
    const MenuPopup* submenu = nullptr;

    bool IsSeparator() const { return id == CommandId::kNone && submenu == nullptr; }
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
