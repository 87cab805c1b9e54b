#pragma once

#include <QString>
#include <string_view>

namespace quill {

// A text of the program (UTF-8) as Qt holds it.
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace quill
