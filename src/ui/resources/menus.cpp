#include "ui/resources/menus.h"

#include <array>

#include "ui/resources/command_ids.h"

namespace quill {
namespace {

constexpr MenuItem kSeparator{};

constexpr std::array kConnectionItems{
    MenuItem{"&New Connection\tAlt-N", cmd::kNewConnection},
    kSeparator,
    MenuItem{"&Print Screen\tAlt-P", cmd::kPrintScreen},
    MenuItem{"&Toggle Print Capture\tAlt-T", cmd::kTogglePrintCapture},
    kSeparator,
    MenuItem{"E&xit\tAlt-X", cmd::kExit},
};

constexpr std::array kEditItems{
    MenuItem{"&Copy\tAlt-C", cmd::kCopy},
    MenuItem{"&Paste\tAlt-V", cmd::kPaste},
};

constexpr std::array kSetupItems{
    MenuItem{"Show &codes", cmd::kShowCodes},
    MenuItem{"&Wrap", cmd::kWrap},
    MenuItem{"&Setup Dialog\tAlt-S", cmd::kSetupDialog},
};

constexpr std::array kHelpItems{
    MenuItem{"&Index", cmd::kHelpIndex},
    MenuItem{"&Using help", cmd::kUsingHelp},
    kSeparator,
    MenuItem{"&About...", cmd::kAbout},
};

constexpr std::array kTelMenu{
    MenuPopup{"&Connection", kConnectionItems},
    MenuPopup{"&Edit", kEditItems},
    MenuPopup{"&Setup", kSetupItems},
    MenuPopup{"&Help", kHelpItems},
};

constexpr std::array kPopupItems{
    kSeparator,
    MenuItem{"Copy", cmd::kCopy},
    MenuItem{"Paste", cmd::kPaste},
    kSeparator,
    MenuItem{"Properties", cmd::kSetupDialog},
    kSeparator,
    MenuItem{"Exit", cmd::kExit},
};

constexpr MenuPopup kPopMenu{"Popup", kPopupItems};

}  // namespace

std::span<const MenuPopup> TelMenu() {
    return kTelMenu;
}

const MenuPopup& PopMenu() {
    return kPopMenu;
}

}  // namespace quill
