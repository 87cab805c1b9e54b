#include "ui/resources/accelerators.h"

#include <array>

#include "ui/resources/command_ids.h"

namespace quill {
namespace {

constexpr std::array kQuickKeys{
    Accelerator{'N', CommandId::kNewConnection},
    Accelerator{'C', CommandId::kCopy},
    Accelerator{'V', CommandId::kPaste},
    Accelerator{'P', CommandId::kPrintScreen},
    Accelerator{'X', CommandId::kExit},
    Accelerator{'S', CommandId::kSetupDialog},
    Accelerator{'T', CommandId::kTogglePrintCapture},
    Accelerator{'L', CommandId::kLogSession},
    Accelerator{'R', CommandId::kRunScript},
    Accelerator{'I', CommandId::kConnectionInformation},
};

}  // namespace

std::span<const Accelerator> QuickKeys() {
    return kQuickKeys;
}

std::optional<CommandId> QuickKeyCommand(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    for (const Accelerator& a : kQuickKeys) {
        if (a.key == letter) return a.id;
    }
    return std::nullopt;
}

}  // namespace quill
