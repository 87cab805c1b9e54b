#include "ui/app/telnet_commands.h"

#include <QKeyEvent>

#include "core/telnet/telnet_codes.h"

namespace quill {

namespace {

// X11's keysym of the Break key.
constexpr quint32 kBreakKeysym = 0xff6b;

}  // namespace

std::optional<std::uint8_t> TelnetCommandCode(CommandId id) {
    switch (id) {
        case CommandId::kSendBreak:
            return telnet::kBrk;
        case CommandId::kSendInterruptProcess:
            return telnet::kIp;
        case CommandId::kSendAbortOutput:
            return telnet::kAo;
        case CommandId::kSendAreYouThere:
            return telnet::kAyt;
        case CommandId::kSendEraseCharacter:
            return telnet::kEc;
        case CommandId::kSendEraseLine:
            return telnet::kEl;
        case CommandId::kSendSynch:
            return telnet::kDm;
        case CommandId::kSendNoOperation:
            return telnet::kNop;
        default:
            return std::nullopt;
    }
}

bool IsBreakKey(const QKeyEvent& event) {
    return (event.modifiers() & Qt::ControlModifier) && event.nativeVirtualKey() == kBreakKeysym;
}

}  // namespace quill
