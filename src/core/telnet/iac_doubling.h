#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quill {

// Data as Telnet carries it toward the host: every IAC (255) twice, so that
// none of them starts a command. The one place data is escaped this way.
void AppendIacDoubled(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out);

}  // namespace quill
