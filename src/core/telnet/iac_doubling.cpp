#include "core/telnet/iac_doubling.h"

#include "core/telnet/telnet_codes.h"

namespace quill {

void AppendIacDoubled(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out) {
    for (const std::uint8_t b : data) {
        out.push_back(b);
        if (b == telnet::kIac) out.push_back(b);
    }
}

}  // namespace quill
