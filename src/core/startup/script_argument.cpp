#include "core/startup/script_argument.h"

#include <string_view>

namespace quill {

ScriptArgument TakeScriptArgument(int argc, const char* const* argv) {
    ScriptArgument taken;
    taken.rest.assign(argv, argv + argc);
    if (argc < 2 || std::string_view(argv[1]) != "--script") return taken;
    if (argc < 3) {
        taken.error = true;
        return taken;
    }
    taken.file = argv[2];
    taken.rest.erase(taken.rest.begin() + 1, taken.rest.begin() + 3);
    return taken;
}

}  // namespace quill
