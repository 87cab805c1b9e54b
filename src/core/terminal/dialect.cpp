#include "core/terminal/dialect.h"

namespace quill {

const Dialect kPlainTerminal{false, false, OptionPolicy{false}, {}};
const Dialect kExtendedTerminal{true, true, OptionPolicy{true}, kEditingKeyTable};

}  // namespace quill
