#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quill {

// The character set the client takes from a host's CHARSET REQUEST: the data
// after the REQUEST code (an optional "[TTABLE]" and its version byte, then
// a separator and the names, each after one). UTF-8 is taken, spelled
// "UTF-8" or "UTF8" in any case, and comes back as the host spelled it;
// none when the list holds no UTF-8.
std::optional<std::string_view> AcceptedCharset(std::span<const std::uint8_t> list);

}  // namespace quill
