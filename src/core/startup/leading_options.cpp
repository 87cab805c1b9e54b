#include "core/startup/leading_options.h"

#include <string_view>

namespace quill {

LeadingOptions TakeLeadingOptions(int argc, const char* const* argv) {
    LeadingOptions taken;
    taken.rest.assign(argv, argv + argc);
    auto next = taken.rest.begin() + (argc > 0 ? 1 : 0);
    while (next != taken.rest.end() && !taken.error) {
        const std::string_view option(*next);
        if (option == "--tls" || option == "--raw") {
            bool& flag = option == "--tls" ? taken.tls : taken.raw;
            taken.error = flag;
            flag = true;
            next = taken.rest.erase(next);
        } else if (option == "--script") {
            taken.error = taken.file.has_value() || next + 1 == taken.rest.end();
            if (taken.error) break;
            taken.file = *(next + 1);
            next = taken.rest.erase(next, next + 2);
        } else {
            break;
        }
    }
    return taken;
}

}  // namespace quill
