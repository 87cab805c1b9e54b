#include "core/engine/transfer_tap.h"

namespace quill {

void TransferTap::Begin() {
    active_ = true;
    stream_ = {};
}

void TransferTap::End() {
    active_ = false;
    detector_.Reset();
}

// The header may have begun in an earlier block, whose bytes the screen
// has had: the sink gets the whole header all the same.
std::size_t TransferTap::Take(std::span<const std::uint8_t> data, bool binary) {
    if (sink_ == nullptr) return data.size();
    std::size_t shown = 0;
    if (!active_) {
        const std::optional<ZmodemStartDetector::Found> found = detector_.Scan(data);
        if (!found) return data.size();
        const std::span<const std::uint8_t> header = ZmodemHeaderStart(found->kind);
        shown = found->end > header.size() ? found->end - header.size() : 0;
        Begin();
        sink_->TransferStarted(found->kind);
        sink_->TransferData(header);
        data = data.subspan(found->end);
    }
    Pass(data, binary);
    return shown;
}

void TransferTap::Pass(std::span<const std::uint8_t> data, bool binary) {
    passed_.clear();
    stream_.FromHost(data, binary, passed_);
    if (!passed_.empty()) sink_->TransferData(passed_);
}

}  // namespace quill
