#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill {

// Where a transfer stands, as rz and sz report it on standard error with
// -vv: "Receiving: NAME" or "Sending: NAME" on a line of its own, then
// status pieces that each start with a CR, "Bytes received: DONE/TOTAL
// BPS:RATE ETA MM:SS" (sz: "Bytes Sent:").
struct TransferProgress {
    std::string file;
    std::int64_t done = 0;
    std::int64_t total = 0;
    std::int64_t bytesPerSecond = 0;
};

// Reads that report as it comes, in pieces of any size; a piece cut off
// waits for the rest.
class LrzszProgressReader {
  public:
    // True when the progress changed.
    bool Take(std::string_view text);
    const TransferProgress& Progress() const { return progress_; }

  private:
    bool TakeLine(std::string_view line);

    std::string pending_;
    TransferProgress progress_;
};

}  // namespace quill
