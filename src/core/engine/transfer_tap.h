#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/interfaces/transfer_sink.h"
#include "core/transfer/transfer_stream.h"
#include "core/transfer/zmodem_start.h"

namespace quill {

// Where the host's data goes while a file transfer runs: it watches the data
// for a ZMODEM start and, from the header on until the transfer ends, hands
// the data to the sink instead of the screen. With no sink nothing is taken.
class TransferTap {
  public:
    void SetSink(TransferSink* sink) { sink_ = sink; }
    bool Active() const { return active_; }
    // A transfer the user starts: the host's data is the transfer's at once.
    void Begin();
    void End();
    // How many of the data's first bytes are the screen's; the rest has gone
    // to the sink. binary: the host sends CR without the NUL Telnet's
    // non-binary data puts after it.
    std::size_t Take(std::span<const std::uint8_t> data, bool binary);

  private:
    void Pass(std::span<const std::uint8_t> data, bool binary);

    TransferSink* sink_ = nullptr;
    bool active_ = false;
    ZmodemStartDetector detector_;
    TransferStream stream_;
    std::vector<std::uint8_t> passed_;
};

}  // namespace quill
