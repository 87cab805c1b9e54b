#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct z_stream_s;

namespace quill {

// The host's compressed stream (MCCP2: one zlib stream, RFC 1950, from the
// subnegotiation that starts it to its own end). The compressed bytes of a
// read are held and inflated a piece at a time, so that however far they
// inflate, no more than kInflated bytes of the result are ever kept; the
// held bytes are at most the read's. Pieces are inflated kInflated bytes at a
// time (zlib's fast loop needs room) and handed out as the caller asks.
class CompressedInput {
  public:
    enum class Outcome {
        kMore,     // the stream goes on (more held, or more to read)
        kEnded,    // the stream ended; Rest holds the plain bytes after it
        kDamaged,  // the bytes do not inflate; the rest of the read is dropped
    };
    struct Piece {
        int count = 0;  // bytes written to the buffer
        Outcome outcome = Outcome::kMore;
    };

    static constexpr std::size_t kInflated = 4096;

    CompressedInput();
    ~CompressedInput();
    CompressedInput(const CompressedInput&) = delete;
    CompressedInput& operator=(const CompressedInput&) = delete;

    // A stream starts: what follows is compressed, until it ends or breaks.
    void Start();
    bool Active() const { return stream_ != nullptr; }
    // Received bytes of the stream, held until inflated.
    void Take(const std::uint8_t* bytes, int count);
    // Whether inflating may give more without another read.
    bool Holds() const {
        return Active() &&
               (at_ < held_.size() || next_ < inflatedEnd_ || outputFull_ || end_ != Outcome::kMore);
    }
    // The next piece, as much as fits in `out`. After kEnded or kDamaged the
    // stream is over, and the input plain again.
    Piece Inflate(std::span<std::uint8_t> out);
    // The bytes of the read that came after the stream's end.
    std::vector<std::uint8_t> TakeRest();

  private:
    void Refill();
    void Stop();

    std::unique_ptr<z_stream_s> stream_;
    std::vector<std::uint8_t> held_;
    std::size_t at_ = 0;  // the first held byte not inflated
    std::array<std::uint8_t, kInflated> inflated_{};
    std::size_t next_ = 0;         // the first inflated byte not handed out
    std::size_t inflatedEnd_ = 0;  // the end of what was inflated
    bool outputFull_ = false;      // the last inflating filled the buffer
    // How the stream ends once what was inflated has been handed out.
    Outcome end_ = Outcome::kMore;
};

}  // namespace quill
