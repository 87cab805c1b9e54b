#pragma once

#include <QIcon>
#include <string_view>

namespace quill {

// The program icon (resource group QUILLTERM, loaded by the name "Quillterm").
QIcon ProgramIcon();

// Icons by resource name, compared without regard to case; a null icon for
// names the program does not have.
QIcon LoadProgramIcon(std::string_view name);

}  // namespace quill
