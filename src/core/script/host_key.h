#pragma once

#include <string>
#include <string_view>

namespace quill {

// The name a host goes by for scripts: its name or address as parsed from
// what the user gave (no port, no brackets), in lower case. It keys both the
// `scripts` settings section and the keyring entries (NAME@HOST).
std::string ScriptHostKey(std::string_view host);

// The settings section mapping a host to the script run when connecting to it.
inline constexpr std::string_view kScriptsSection = "scripts";

}  // namespace quill
