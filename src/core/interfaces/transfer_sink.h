#pragma once

#include <cstdint>
#include <span>

namespace quill {

// Which side of a ZMODEM transfer the host has started.
enum class ZmodemStart {
    kDownload,  // the host's sz sends ZRQINIT: the client receives
    kUpload,    // the host's rz sends ZRINIT: the client sends
};

// Told when the host's data starts a file transfer; from then on, until the
// terminal is told the transfer has ended, the data (Telnet taken out) goes
// here and nothing of it reaches the screen, the printed text or a script.
class TransferSink {
  public:
    virtual ~TransferSink() = default;
    virtual void TransferStarted(ZmodemStart kind) = 0;
    virtual void TransferData(std::span<const std::uint8_t> data) = 0;
};

}  // namespace quill
