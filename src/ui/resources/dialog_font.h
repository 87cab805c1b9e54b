#pragma once

#include <QFont>

namespace quill {

// The font both host dialogs give their host control (id 200) only: Arial
// with a character height of 12 pixels, default weight.
QFont HostControlFont();

}  // namespace quill
