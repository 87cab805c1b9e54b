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
//
// A download ends with the host's sz sending ZFIN and, once answered, "OO"
// (over and out), which rz may have ended before reading. The O's the host
// still owes after its last ZFIN when the transfer ends are taken from the
// front of the data that follows: at most two, only while nothing but 'O'
// came since the end, so text after the transfer is never eaten.
class TransferTap {
  public:
    void SetSink(TransferSink* sink) { sink_ = sink; }
    bool Active() const { return active_; }
    // A transfer the user starts: the host's data is the transfer's at once.
    void Begin() { Start(ZmodemStart::kUpload); }
    void End();
    // The data's part that is the screen's; the rest has gone to the sink
    // (or was the host's last "OO"). binary: the host sends CR without the
    // NUL Telnet's non-binary data puts after it.
    std::span<const std::uint8_t> Take(std::span<const std::uint8_t> data, bool binary);

  private:
    void Start(ZmodemStart kind);
    void Pass(std::span<const std::uint8_t> data, bool binary);
    void CountOwed(std::span<const std::uint8_t> data);
    std::size_t OverAndOut(std::span<const std::uint8_t> data);

    TransferSink* sink_ = nullptr;
    bool active_ = false;
    bool download_ = false;
    ZmodemStartDetector detector_;
    // The host's ZFIN headers in a download, and the O's owed after the last.
    ZmodemHexHeaders headers_;
    int owedOs_ = 0;
    TransferStream stream_;
    std::vector<std::uint8_t> passed_;
};

}  // namespace quill
