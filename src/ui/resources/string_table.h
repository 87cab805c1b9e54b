#pragma once

#include <string_view>

namespace quill {

// String 1000: the start of a print job's document name.
inline constexpr int kPrintDocumentString = 1000;

// The program's string table; empty for an id it does not hold.
std::string_view LoadString(int id);

}  // namespace quill
