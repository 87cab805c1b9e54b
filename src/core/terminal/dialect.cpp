#include "core/terminal/dialect.h"

namespace quill {

const Dialect kPlainTerminal{false, false, false, false, OptionPolicy{false, false},
                              kNormalKeyTable, kApplicationKeyTable};
const Dialect kExtendedTerminal{true, true, true, true, OptionPolicy{true, true},
                                 kXtermNormalKeyTable, kXtermApplicationKeyTable};

}  // namespace quill
