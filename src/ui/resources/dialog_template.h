#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

namespace quill {

// Rectangle in dialog units: x and y count quarters of the average character
// width and eighths of the character height of the dialog font.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class ControlClass {
    Button,  // kind from the style: push, default push, check box, group box
    Edit,
    Static,    // text, icon or black rectangle, by style
    ComboBox,  // drop-down with an edit field
    ListBox,
    Custom,  // a window class of the program, named in `className`
};

// Control and dialog styles, as the templates state them.
namespace style {
inline constexpr std::uint32_t kTabStop = 1u << 0;
inline constexpr std::uint32_t kGroup = 1u << 1;
inline constexpr std::uint32_t kBorder = 1u << 2;
inline constexpr std::uint32_t kDisabled = 1u << 3;
inline constexpr std::uint32_t kDefaultPush = 1u << 4;
inline constexpr std::uint32_t kPushButton = 1u << 5;
inline constexpr std::uint32_t kAutoCheckBox = 1u << 6;
inline constexpr std::uint32_t kGroupBox = 1u << 7;
inline constexpr std::uint32_t kLeft = 1u << 8;
inline constexpr std::uint32_t kCenter = 1u << 9;
inline constexpr std::uint32_t kIcon = 1u << 10;
inline constexpr std::uint32_t kBlackRect = 1u << 11;
inline constexpr std::uint32_t kAutoHScroll = 1u << 12;
inline constexpr std::uint32_t kVScroll = 1u << 13;
inline constexpr std::uint32_t kNotify = 1u << 14;
inline constexpr std::uint32_t kSorted = 1u << 15;
// Dialog window styles.
inline constexpr std::uint32_t kVisible = 1u << 16;
inline constexpr std::uint32_t kCaption = 1u << 17;
inline constexpr std::uint32_t kSysMenu = 1u << 18;
inline constexpr std::uint32_t kModalFrame = 1u << 19;
inline constexpr std::uint32_t kThinBorder = 1u << 20;
}  // namespace style

// The id of a dialog control: one of a dialog's own control enums (see
// control_ids.h), or none for labels nobody addresses.
struct ControlId {
    template <typename Id>
    requires std::is_enum_v<Id>
    constexpr ControlId(Id id) : value(static_cast<int>(id)) {}
    constexpr explicit ControlId(int id) : value(id) {}
    bool operator==(const ControlId&) const = default;
    auto operator<=>(const ControlId&) const = default;

    int value;
};

inline constexpr ControlId kNoControlId{-1};
// The window class of the program's own control in the SETUP template: the preview.
inline constexpr std::string_view kTextExampleClass = "TextExample";
// What Escape and the close box send in every dialog; no dialog acts on it.
inline constexpr ControlId kStandardCancel{2};

struct ControlTemplate {
    constexpr ControlTemplate(ControlId id, ControlClass kind, std::string_view text,
                              DialogRect rect, std::uint32_t style, std::string_view className = {})
        : id(id), kind(kind), text(text), rect(rect), style(style), className(className) {}

    ControlId id;
    ControlClass kind;
    std::string_view text;
    DialogRect rect;
    std::uint32_t style;
    std::string_view className;  // only for ControlClass::Custom
};

// A dialog as its resource describes it. The controls are in template order,
// which is also the tab order. No template names a font: all use the system
// dialog font, and a dialog may give a control another one.
struct DialogTemplate {
    std::string_view name;
    std::string_view caption;
    DialogRect rect;
    std::uint32_t style = 0;
    std::span<const ControlTemplate> controls;
};

const DialogTemplate& ConnectTemplate();
const DialogTemplate& ListHostsTemplate();
const DialogTemplate& SetupTemplate();
const DialogTemplate& AboutTemplate();
const DialogTemplate& SplashTemplate();
const DialogTemplate& PrintTemplate();

}  // namespace quill
