#include "core/terminal/dialect.h"

namespace quill {

const Dialect kPlainTerminal{false, false, false, false, OptionPolicy{false, false}, false, false};
const Dialect kExtendedTerminal{true, true, true, true, OptionPolicy{true, true}, true, true};

}  // namespace quill
