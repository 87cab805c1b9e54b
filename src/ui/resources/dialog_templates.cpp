#include <array>

#include "core/version.h"
#include "ui/resources/control_ids.h"
#include "ui/resources/dialog_template.h"

namespace quill {
namespace {

using enum ControlClass;
using namespace style;

constexpr std::uint32_t kModalDialog = kCaption | kSysMenu | kModalFrame;

constexpr std::array kConnectControls{
    ControlTemplate{ConnectControl::kPort, Edit, "", {9, 33, 25, 12}, kBorder | kTabStop | kLeft},
    ControlTemplate{ConnectControl::kOk, Button, "OK", {69, 31, 30, 14}, kDefaultPush | kTabStop},
    ControlTemplate{kNoControlId, Static, "Connect to:", {9, 5, 64, 8}, kLeft | kGroup},
    ControlTemplate{kNoControlId, Static, "Port:", {9, 25, 18, 8}, kLeft | kGroup},
    ControlTemplate{
        ConnectControl::kHost, ComboBox, "", {9, 13, 89, 72}, kAutoHScroll | kVScroll | kTabStop},
    ControlTemplate{
        ConnectControl::kCancel, Button, "Cancel", {37, 31, 30, 14}, kPushButton | kTabStop},
};

constexpr std::array kListHostsControls{
    ControlTemplate{
        ListHostsControl::kOk, Button, "OK", {69, 114, 30, 14}, kDefaultPush | kTabStop},
    ControlTemplate{kNoControlId, Static, "Connect to:", {8, 3, 64, 8}, kLeft | kGroup},
    ControlTemplate{
        ListHostsControl::kCancel, Button, "Cancel", {37, 114, 30, 14}, kPushButton | kTabStop},
    ControlTemplate{ListHostsControl::kHostList, ListBox, "", {8, 13, 87, 96}, kBorder | kNotify},
};

constexpr std::array kSetupControls{
    ControlTemplate{SetupControl::kOk, Button, "OK", {190, 75, 37, 14}, kDefaultPush | kTabStop},
    ControlTemplate{
        SetupControl::kCancel, Button, "Cancel", {145, 75, 37, 14}, kPushButton | kTabStop},
    ControlTemplate{
        SetupControl::kTerminalSettings, Button, "Terminal Settings", {5, 5, 220, 66}, kGroupBox},
    ControlTemplate{
        SetupControl::kWrap, Button, "Wrap", {10, 17, 56, 12}, kAutoCheckBox | kGroup | kTabStop},
    ControlTemplate{SetupControl::kVaxDelKey,
                    Button,
                    "Vax DEL key",
                    {10, 29, 53, 12},
                    kAutoCheckBox | kDisabled | kTabStop},
    ControlTemplate{SetupControl::kSelectFont,
                    Button,
                    "Select Font...",
                    {165, 15, 50, 14},
                    kPushButton | kTabStop},
    ControlTemplate{SetupControl::kTextColor,
                    Button,
                    "Text Color...",
                    {165, 30, 50, 14},
                    kPushButton | kTabStop},
    ControlTemplate{SetupControl::kBackground,
                    Button,
                    "Background...",
                    {165, 45, 50, 14},
                    kPushButton | kTabStop},
    ControlTemplate{
        SetupControl::kPreview, Custom, "", {70, 16, 90, 23}, kBorder, kTextExampleClass},
    ControlTemplate{SetupControl::kMaxOnStart,
                    Button,
                    "Max on Start",
                    {10, 41, 53, 12},
                    kAutoCheckBox | kTabStop},
    ControlTemplate{
        SetupControl::kLocalEcho, Button, "Local Echo", {10, 53, 53, 12}, kAutoCheckBox | kTabStop},
    ControlTemplate{
        SetupControl::kCRLF, Button, "CR = CR/LF", {71, 41, 53, 12}, kAutoCheckBox | kTabStop},
};

constexpr std::array kAboutControls{
    ControlTemplate{AboutControl::kOk, Button, "OK", {99, 54, 38, 14}, kDefaultPush | kTabStop},
    ControlTemplate{kNoControlId, Static, "quillterm", {9, 3, 21, 20}, kIcon},
    ControlTemplate{kNoControlId, Static, "Quillterm32", {5, 27, 83, 8}, kCenter},
    ControlTemplate{kNoControlId, Static, "version", {5, 35, 82, 8}, kCenter},
    ControlTemplate{AboutControl::kVersion, Static, kProgramVersion, {5, 45, 78, 8}, kCenter},
    ControlTemplate{kNoControlId, Static, "", {5, 27, 84, 1}, kBlackRect},
    ControlTemplate{kNoControlId, Static, "", {89, 5, 1, 69}, kBlackRect},
};

constexpr std::array kSplashControls{
    ControlTemplate{kNoControlId, Static, "quillterm", {10, 10, 21, 18}, kIcon},
    ControlTemplate{kNoControlId, Static, "Quillterm32", {45, 2, 89, 8}, kCenter},
    ControlTemplate{kNoControlId, Static, kProgramVersion, {52, 9, 74, 8}, kCenter},
};

constexpr std::array kPrintControls{
    ControlTemplate{
        PrintControl::kCancel, Button, "Cancel", {55, 17, 31, 14}, kDefaultPush | kTabStop},
    ControlTemplate{kNoControlId, Static, "Printing ...", {3, 3, 137, 8}, kCenter | kGroup},
};

constexpr DialogTemplate kConnect{
    "connect", "Connect", {65, 100, 102, 48}, kVisible | kModalDialog, kConnectControls};
constexpr DialogTemplate kListHosts{
    "listhosts", "Connect", {65, 17, 102, 131}, kVisible | kCaption | kSysMenu, kListHostsControls};
constexpr DialogTemplate kSetup{"setup", "Setup", {24, 74, 229, 92}, kModalDialog, kSetupControls};
constexpr DialogTemplate kAbout{"About", "About", {41, 52, 151, 100}, kModalDialog, kAboutControls};
constexpr DialogTemplate kSplash{
    "splash", "", {0, 0, 140, 47}, kVisible | kThinBorder, kSplashControls};
constexpr DialogTemplate kPrint{
    "print", "Printing", {107, 83, 142, 36}, kModalDialog, kPrintControls};

}  // namespace

const DialogTemplate& ConnectTemplate() {
    return kConnect;
}
const DialogTemplate& ListHostsTemplate() {
    return kListHosts;
}
const DialogTemplate& SetupTemplate() {
    return kSetup;
}
const DialogTemplate& AboutTemplate() {
    return kAbout;
}
const DialogTemplate& SplashTemplate() {
    return kSplash;
}
const DialogTemplate& PrintTemplate() {
    return kPrint;
}

}  // namespace quill
