#include "core/terminal/dialect.h"

namespace quill {

const Dialect kPlainTerminal{false, false, false, false, false, OptionPolicy{false, false},
                              kNormalKeyTable, kApplicationKeyTable, false};
const Dialect kExtendedTerminal{true, true, true, true, true, OptionPolicy{true, true},
                                 kXtermNormalKeyTable, kXtermApplicationKeyTable, true};

}  // namespace quill
