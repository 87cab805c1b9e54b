#include "core/telnet/compressed_input.h"

#include <zlib.h>

#include <algorithm>

namespace quill {

CompressedInput::CompressedInput() = default;

CompressedInput::~CompressedInput() {
    Stop();
}

void CompressedInput::Start() {
    Stop();
    stream_ = std::make_unique<z_stream_s>();
    if (inflateInit(stream_.get()) != Z_OK) stream_.reset();
}

void CompressedInput::Stop() {
    if (stream_ != nullptr) inflateEnd(stream_.get());
    stream_.reset();
    next_ = inflatedEnd_ = 0;
    outputFull_ = false;
    end_ = Outcome::kMore;
}

void CompressedInput::Take(const std::uint8_t* bytes, int count) {
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(at_));
    at_ = 0;
    held_.insert(held_.end(), bytes, bytes + count);
}

CompressedInput::Piece CompressedInput::Inflate(std::span<std::uint8_t> out) {
    if (!Active()) return {};
    if (next_ == inflatedEnd_ && end_ == Outcome::kMore) Refill();
    const std::size_t count = std::min(out.size(), inflatedEnd_ - next_);
    std::copy_n(inflated_.begin() + static_cast<std::ptrdiff_t>(next_), count, out.begin());
    next_ += count;
    Piece piece{static_cast<int>(count), Outcome::kMore};
    if (next_ == inflatedEnd_ && end_ != Outcome::kMore) {
        piece.outcome = end_;
        Stop();
    }
    return piece;
}

// Inflates what is held into the empty buffer. Z_BUF_ERROR only says that
// nothing could be done without more input; a damaged stream drops the rest
// of the read.
void CompressedInput::Refill() {
    z_stream_s& z = *stream_;
    z.next_in = held_.data() + at_;
    z.avail_in = static_cast<uInt>(held_.size() - at_);
    z.next_out = inflated_.data();
    z.avail_out = static_cast<uInt>(inflated_.size());
    const int status = inflate(&z, Z_NO_FLUSH);
    at_ = held_.size() - z.avail_in;
    next_ = 0;
    inflatedEnd_ = inflated_.size() - z.avail_out;
    outputFull_ = z.avail_out == 0;
    if (status == Z_OK || status == Z_BUF_ERROR) return;
    end_ = status == Z_STREAM_END ? Outcome::kEnded : Outcome::kDamaged;
    if (end_ == Outcome::kDamaged) {
        held_.clear();
        at_ = 0;
    }
}

std::vector<std::uint8_t> CompressedInput::TakeRest() {
    std::vector<std::uint8_t> rest(held_.begin() + static_cast<std::ptrdiff_t>(at_), held_.end());
    held_.clear();
    at_ = 0;
    return rest;
}

}  // namespace quill
