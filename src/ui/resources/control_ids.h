#pragma once

namespace quill {

// Control ids of the dialog templates, one set per dialog. They are not
// commands: 101 is Cancel in a dialog and New Connection in the menus.
enum class ConnectControl : int { kOk = 100, kCancel = 101, kHost = 200, kPort = 300 };

enum class ListHostsControl : int { kOk = 100, kCancel = 101, kHostList = 200 };

enum class SetupControl : int {
    kOk = 100,
    kCancel = 101,
    kTerminalSettings = 102,  // the group box
    kSelectFont = 300,
    kTextColor = 301,
    kBackground = 302,
    kPreview = 400,
    kWrap = 2001,
    kVaxDelKey = 2002,
    kMaxOnStart = 2003,
    kLocalEcho = 2004,
    kCRLF = 2005,
};

enum class AboutControl : int { kOk = 100, kVersion = 222 };

enum class PrintControl : int { kCancel = 101 };

}  // namespace quill
