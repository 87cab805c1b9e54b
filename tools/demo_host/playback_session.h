#pragma once

#include "client_session.h"
#include "recording.h"

namespace quill::demo {

// One client of a playback: the bytes of a recording, in its rhythm sped up
// by `speed`, and nothing else. What the client sends is ignored; once the
// last byte is out the session stays open, so the final screen stays on
// display until the client leaves.
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
    Clock::time_point DueAt(const Recording::Step& step) const;

    const Recording& recording_;
    double speed_;
    Clock::time_point start_{};
    std::size_t step_ = 0;  // the first step not due yet
    std::size_t due_ = 0;   // bytes due so far
    std::size_t sent_ = 0;
};

}  // namespace quill::demo
