#include "ui/resources/menus.h"

#include <array>

#include "ui/resources/command_ids.h"

namespace quill {
namespace {

constexpr MenuItem kSeparator{};

constexpr std::array kTelnetCommandItems{
    MenuItem{"&Break", CommandId::kSendBreak},
    MenuItem{"&Interrupt Process", CommandId::kSendInterruptProcess},
    MenuItem{"&Abort Output", CommandId::kSendAbortOutput},
    MenuItem{"Are &You There", CommandId::kSendAreYouThere},
    MenuItem{"Erase &Character", CommandId::kSendEraseCharacter},
    MenuItem{"Erase &Line", CommandId::kSendEraseLine},
    MenuItem{"&Synch", CommandId::kSendSynch},
    MenuItem{"&No Operation", CommandId::kSendNoOperation},
};

constexpr MenuPopup kTelnetCommandMenu{"Send Telnet Co&mmand", kTelnetCommandItems};

constexpr std::array kConnectionItems{
    MenuItem{"&New Connection\tAlt-N", CommandId::kNewConnection},
    kSeparator,
    MenuItem{"&Print Screen\tAlt-P", CommandId::kPrintScreen},
    MenuItem{"&Toggle Print Capture\tAlt-T", CommandId::kTogglePrintCapture},
    MenuItem{"&Log Session...\tAlt-L", CommandId::kLogSession},
    MenuItem{"&Run Script...\tAlt-R", CommandId::kRunScript},
    MenuItem{"Send &Files (ZMODEM)...", CommandId::kSendFiles},
    MenuItem{kTelnetCommandMenu.title, CommandId::kNone, &kTelnetCommandMenu},
    MenuItem{"Connection &Information...\tAlt-I", CommandId::kConnectionInformation},
    kSeparator,
    MenuItem{"E&xit\tAlt-X", CommandId::kExit},
};

constexpr std::array kEditItems{
    MenuItem{"&Copy\tAlt-C", CommandId::kCopy},
    MenuItem{"&Paste\tAlt-V", CommandId::kPaste},
    MenuItem{"&Find...\tCtrl+Shift+F", CommandId::kFind},
};

constexpr std::array kSetupItems{
    MenuItem{"Show &codes", CommandId::kShowCodes},
    MenuItem{"&Wrap", CommandId::kWrap},
    MenuItem{"&Extended Terminal", CommandId::kExtendedTerminal},
    MenuItem{"&BBS Terminal (CP437)", CommandId::kBbsTerminal},
    MenuItem{"&Setup Dialog\tAlt-S", CommandId::kSetupDialog},
};

constexpr std::array kHelpItems{
    MenuItem{"&Index", CommandId::kHelpIndex},
    MenuItem{"&Using help", CommandId::kUsingHelp},
    kSeparator,
    MenuItem{"&About...", CommandId::kAbout},
};

constexpr std::array kTelMenu{
    MenuPopup{"&Connection", kConnectionItems},
    MenuPopup{"&Edit", kEditItems},
    MenuPopup{"&Setup", kSetupItems},
    MenuPopup{"&Help", kHelpItems},
};

constexpr std::array kPopupItems{
    kSeparator,
    MenuItem{"Copy", CommandId::kCopy},
    MenuItem{"Paste", CommandId::kPaste},
    kSeparator,
    MenuItem{"Properties", CommandId::kSetupDialog},
    kSeparator,
    MenuItem{"Exit", CommandId::kExit},
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
