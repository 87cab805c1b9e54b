#include "core/terminal/mouse_report.h"

#include "core/terminal/control_codes.h"

namespace quill {

namespace {

constexpr int kReleaseCode = 3;
constexpr int kWheelCode = 64;
constexpr int kMoveFlag = 32;
constexpr int kShiftFlag = 4;
constexpr int kAltFlag = 8;
constexpr int kControlFlag = 16;
// The largest 1-based position one byte of 32 plus the position carries.
constexpr int kLargestBytePosition = 255 - 32;

bool IsWheel(MouseButton button) {
    return button == MouseButton::kWheelUp || button == MouseButton::kWheelDown;
}

int ButtonCode(MouseButton button) {
    if (IsWheel(button)) return kWheelCode + (button == MouseButton::kWheelDown ? 1 : 0);
    return static_cast<int>(button);
}

int ModifierFlags(KeyModifiers modifiers) {
    return (modifiers.shift ? kShiftFlag : 0) | (modifiers.alt ? kAltFlag : 0) |
           (modifiers.control ? kControlFlag : 0);
}

char PositionByte(int position) {
    const int oneBased = position + 1;
    return static_cast<char>(oneBased > kLargestBytePosition ? 0 : 32 + oneBased);
}

}  // namespace

bool MouseReporter::Reported(const MouseEvent& event, MouseTracking tracking) const {
    switch (event.action) {
        case MouseAction::kPress:
            return tracking != MouseTracking::kPresses || !IsWheel(event.button);
        case MouseAction::kRelease:
            return tracking != MouseTracking::kPresses && !IsWheel(event.button);
        case MouseAction::kMove:
            if (event.column == lastColumn_ && event.row == lastRow_) return false;
            return tracking == MouseTracking::kAllMotion ||
                   (tracking == MouseTracking::kDrags && event.button != MouseButton::kNone);
    }
    return false;
}

std::string MouseReporter::Report(const MouseEvent& event, const TerminalModes& modes) {
    const MouseTracking tracking = modes.Mouse();
    if (tracking == MouseTracking::kOff || !Reported(event, tracking)) return {};
    lastColumn_ = event.column;
    lastRow_ = event.row;
    int code = ButtonCode(event.button);
    if (event.action == MouseAction::kMove) code += kMoveFlag;
    if (tracking != MouseTracking::kPresses) code += ModifierFlags(event.modifiers);
    if (modes.MouseSgr()) {
        const char final = event.action == MouseAction::kRelease ? 'm' : 'M';
        return "\x1b[<" + std::to_string(code) + ';' + std::to_string(event.column + 1) + ';' +
               std::to_string(event.row + 1) + final;
    }
    if (event.action == MouseAction::kRelease) {
        code = kReleaseCode + ModifierFlags(event.modifiers);
    }
    return std::string{
        static_cast<char>(kEsc), '[', 'M', static_cast<char>(32 + code), PositionByte(event.column),
        PositionByte(event.row)};
}

}  // namespace quill
