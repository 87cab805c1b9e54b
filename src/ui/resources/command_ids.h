#pragma once

// Command ids carried by menu items, accelerators and dialog controls.
namespace quill::cmd {

inline constexpr int kNewConnection = 101;
inline constexpr int kPrintScreen = 105;
inline constexpr int kTogglePrintCapture = 106;
inline constexpr int kExit = 108;
inline constexpr int kCopy = 202;
inline constexpr int kPaste = 203;
inline constexpr int kHelpIndex = 901;
inline constexpr int kUsingHelp = 905;
inline constexpr int kAbout = 999;
inline constexpr int kShowCodes = 2001;
inline constexpr int kWrap = 2002;
inline constexpr int kSetupDialog = 2003;
// "Connect to" submenu: host1 .. host10 of the history.
inline constexpr int kConnectToFirst = 9101;
inline constexpr int kConnectToLast = 9110;

// Dialog commands.
inline constexpr int kDialogOk = 100;
inline constexpr int kDialogCancel = 101;
// What Escape and the close box send; no dialog of the program acts on it.
inline constexpr int kStandardCancel = 2;

}  // namespace quill::cmd
