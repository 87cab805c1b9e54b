#pragma once

namespace quill {

// The commands of the menu bar, the right-button menu and the accelerators,
// as the main window's OnCommand receives them.
enum class CommandId : int {
    kNone = 0,
    kNewConnection = 101,
    kPrintScreen = 105,
    kTogglePrintCapture = 106,
    kLogSession = 107,
    kExit = 108,
    kRunScript = 109,
    // "Send Telnet Command" submenu: IAC and the command's code.
    kSendBreak = 110,
    kSendInterruptProcess = 111,
    kSendAbortOutput = 112,
    kSendAreYouThere = 113,
    kSendEraseCharacter = 114,
    kSendEraseLine = 115,
    kSendSynch = 116,
    kSendNoOperation = 117,
    kConnectionInformation = 118,
    kSendFiles = 130,
    kCopy = 202,
    kPaste = 203,
    kFind = 204,
    kHelpIndex = 901,
    kUsingHelp = 905,
    kAbout = 999,
    kShowCodes = 2001,
    kWrap = 2002,
    kSetupDialog = 2003,
    kExtendedTerminal = 2004,
    kBbsTerminal = 2005,
    // "Connect to" submenu: host1 .. host10 of the history.
    kConnectToFirst = 9101,
    kConnectToLast = 9110,
};

// The "Connect to" command of history entry `number` (1 to 10).
constexpr CommandId ConnectToCommand(int number) {
    return static_cast<CommandId>(static_cast<int>(CommandId::kConnectToFirst) + number - 1);
}

// The history entry (1 to 10) a "Connect to" command stands for, 0 for any other.
constexpr int HistoryNumberOf(CommandId id) {
    const int value = static_cast<int>(id);
    if (id < CommandId::kConnectToFirst || id > CommandId::kConnectToLast) return 0;
    return value - static_cast<int>(CommandId::kConnectToFirst) + 1;
}

}  // namespace quill
