#include "core/telnet/compressed_input.h"

#include <zlib.h>

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
    outputFull_ = false;
}

void CompressedInput::Take(const std::uint8_t* bytes, int count) {
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(at_));
    at_ = 0;
    held_.insert(held_.end(), bytes, bytes + count);
}

CompressedInput::Piece CompressedInput::Inflate(std::span<std::uint8_t> out) {
    if (!Active()) return {};
    z_stream_s& z = *stream_;
    z.next_in = held_.data() + at_;
    z.avail_in = static_cast<uInt>(held_.size() - at_);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_NO_FLUSH);
    at_ = held_.size() - z.avail_in;
    const Piece piece{static_cast<int>(out.size() - z.avail_out), Outcome::kMore};
    outputFull_ = z.avail_out == 0;
    // Z_BUF_ERROR only says that nothing could be done without more input.
    if (status == Z_OK || status == Z_BUF_ERROR) return piece;
    Stop();
    if (status == Z_STREAM_END) return {piece.count, Outcome::kEnded};
    held_.clear();
    at_ = 0;
    return {piece.count, Outcome::kDamaged};
}

std::vector<std::uint8_t> CompressedInput::TakeRest() {
    std::vector<std::uint8_t> rest(held_.begin() + static_cast<std::ptrdiff_t>(at_), held_.end());
    held_.clear();
    at_ = 0;
    return rest;
}

}  // namespace quill
