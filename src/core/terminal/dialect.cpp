#include "core/terminal/dialect.h"

namespace quill {

const Dialect kPlainTerminal{false, false, false, false, OptionPolicy{false, false}, false, false};
const Dialect kExtendedTerminal{true, true, true, true, kExtendedOptionPolicy, true, true};

}  // namespace quill
