#pragma once

#include <optional>

#include "client_session.h"
#include "recording.h"

namespace quill::demo {

// One client of a playback: the bytes of a recording, in its rhythm sped up
// by `speed`, and nothing else. What the client sends is ignored; once the
// last byte is out the session stays open, so the final screen stays on
// display until the client leaves.
// A log and its timing are read as they are sent, so a session holds at
// most kChunk bytes of either.
class PlaybackSession final : public ClientSession {
  public:
    // The recording must outlive the session.
    PlaybackSession(const Recording& recording, double speed);

    std::string Start(Clock::time_point now) override;
    std::string Feed(const std::uint8_t* bytes, std::size_t length) override;
    // What is due by `now` and not sent yet, at most kChunk bytes of it.
    std::string Tick(Clock::time_point now) override;
    std::optional<Clock::time_point> NextTick() const override;
    bool Finished() const override { return false; }

    static constexpr std::size_t kChunk = 64 * 1024;

  private:
    Clock::time_point DueAt(const Step& step) const;
    // The step after the last one read; none at the end of the timing file,
    // or where the file no longer reads as it did when it was checked.
    std::optional<Step> NextStep();

    const Recording& recording_;
    double speed_;
    std::optional<StepReader> steps_;  // none without a timing file
    std::size_t heldStep_ = 0;         // of the steps held in memory, the next
    std::optional<Step> next_;         // the first step not due yet
    Clock::time_point start_{};
    std::size_t due_ = 0;  // bytes due so far
    std::size_t sent_ = 0;
};

}  // namespace quill::demo
