#include "core/transfer/transfer_stream.h"

#include "core/telnet/iac_doubling.h"

namespace quill {
namespace {

constexpr std::uint8_t kCr = '\r';

}  // namespace

std::vector<std::uint8_t> TransferStream::ToHost(std::span<const std::uint8_t> data, bool telnet,
                                                 bool binary) {
    std::vector<std::uint8_t> out;
    out.reserve(data.size() + data.size() / 64 + 2);
    if (!telnet) {
        out.assign(data.begin(), data.end());
        return out;
    }
    if (binary) {
        AppendIacDoubled(data, out);
        return out;
    }
    for (const std::uint8_t b : data) {
        AppendIacDoubled({&b, 1}, out);
        if (b == kCr) out.push_back(0);
    }
    return out;
}

void TransferStream::FromHost(std::span<const std::uint8_t> data, bool binary,
                              std::vector<std::uint8_t>& out) {
    for (const std::uint8_t b : data) {
        const bool dropped = !binary && afterCr_ && b == 0;
        afterCr_ = b == kCr;
        if (!dropped) out.push_back(b);
    }
}

}  // namespace quill
