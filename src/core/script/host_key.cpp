#include "core/script/host_key.h"

namespace quill {

std::string ScriptHostKey(std::string_view host) {
    std::string key(host);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

}  // namespace quill
