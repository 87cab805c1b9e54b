#include "ui/resources/accelerators.h"

#include <array>

#include "ui/resources/command_ids.h"

namespace quill {
namespace {

constexpr std::array kQuickKeys{
    Accelerator{'N', cmd::kNewConnection},
    Accelerator{'C', cmd::kCopy},
    Accelerator{'V', cmd::kPaste},
    Accelerator{'P', cmd::kPrintScreen},
    Accelerator{'X', cmd::kExit},
    Accelerator{'S', cmd::kSetupDialog},
    Accelerator{'T', cmd::kTogglePrintCapture},
};

}  // namespace

std::span<const Accelerator> QuickKeys() {
    return kQuickKeys;
}

std::optional<int> QuickKeyCommand(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    for (const Accelerator& a : kQuickKeys) {
        if (a.key == letter) return a.id;
    }
    return std::nullopt;
}

}  // namespace quill
