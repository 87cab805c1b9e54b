#include "core/engine/transfer_tap.h"

namespace quill {
namespace {

constexpr int kOverAndOut = 2;  // "OO"

}  // namespace

void TransferTap::Start(ZmodemStart kind) {
    active_ = true;
    download_ = kind == ZmodemStart::kDownload;
    stream_ = {};
    headers_.Reset();
    owedOs_ = 0;
}

void TransferTap::End() {
    active_ = false;
    detector_.Reset();
}

// The header may have begun in an earlier block, whose bytes the screen
// has had: the sink gets the whole header all the same.
std::span<const std::uint8_t> TransferTap::Take(std::span<const std::uint8_t> data, bool binary) {
    if (sink_ == nullptr) return data;
    if (active_) {
        Pass(data, binary);
        return {};
    }
    data = data.subspan(OverAndOut(data));
    const std::optional<ZmodemStartDetector::Found> found = detector_.Scan(data);
    if (!found) return data;
    const std::span<const std::uint8_t> header = ZmodemHeaderStart(found->kind);
    const std::size_t shown = found->end > header.size() ? found->end - header.size() : 0;
    Start(found->kind);
    sink_->TransferStarted(found->kind);
    sink_->TransferData(header);
    Pass(data.subspan(found->end), binary);
    return data.first(shown);
}

void TransferTap::Pass(std::span<const std::uint8_t> data, bool binary) {
    passed_.clear();
    stream_.FromHost(data, binary, passed_);
    CountOwed(passed_);
    if (!passed_.empty()) sink_->TransferData(passed_);
}

// After the host's ZFIN only its header's digits and line end, a repeated
// ZFIN, and then "OO" come.
void TransferTap::CountOwed(std::span<const std::uint8_t> data) {
    if (!download_) return;
    for (const std::uint8_t b : data) {
        if (headers_.Feed(b) == ZmodemHexHeaders::kZfin) {
            owedOs_ = kOverAndOut;
        } else if (b == 'O' && owedOs_ > 0) {
            --owedOs_;
        }
    }
}

// How many O's at the data's front the host owed. A byte that is not one of
// them settles the debt: the O's still owed never come.
std::size_t TransferTap::OverAndOut(std::span<const std::uint8_t> data) {
    std::size_t taken = 0;
    while (owedOs_ > 0 && taken < data.size() && data[taken] == 'O') {
        ++taken;
        --owedOs_;
    }
    if (taken < data.size()) owedOs_ = 0;
    return taken;
}

}  // namespace quill
