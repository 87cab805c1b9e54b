#pragma once

#include <optional>
#include <span>

namespace quill {

// One entry of the QUICKKEYS table: Alt held with a letter key gives a command.
struct Accelerator {
    char key;  // upper-case letter
    int id;
};

std::span<const Accelerator> QuickKeys();

// The command for Alt + the given letter (either case), if the table has one.
std::optional<int> QuickKeyCommand(char letter);

}  // namespace quill
