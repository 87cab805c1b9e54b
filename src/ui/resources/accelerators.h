#pragma once

#include <optional>
#include <span>

#include "ui/resources/command_ids.h"

namespace quill {

// One entry of the QUICKKEYS table: Alt held with a letter key gives a command.
struct Accelerator {
    char key;  // upper-case letter
    CommandId id;
};

std::span<const Accelerator> QuickKeys();

// The command for Alt + the given letter (either case), if the table has one.
std::optional<CommandId> QuickKeyCommand(char letter);

}  // namespace quill
