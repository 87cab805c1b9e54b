#include "playback_session.h"

#include <algorithm>

namespace quill::demo {
namespace {

// Later than any playback lasts, and still far from overflowing the clock.
constexpr double kLongestWaitSeconds = 1e9;

}  // namespace

PlaybackSession::PlaybackSession(const Recording& recording, double speed)
    : recording_(recording), speed_(speed) {}

std::string PlaybackSession::Start(Clock::time_point now) {
    start_ = now;
    return Tick(now);
}

std::string PlaybackSession::Feed(const std::uint8_t*, std::size_t) {
    return {};
}

std::string PlaybackSession::Tick(Clock::time_point now) {
    const std::vector<Recording::Step>& steps = recording_.steps;
    while (step_ < steps.size() && DueAt(steps[step_]) <= now) due_ = steps[step_++].end;
    const std::size_t length = std::min(due_ - sent_, kChunk);
    std::string out = recording_.bytes.substr(sent_, length);
    sent_ += length;
    return out;
}

std::optional<PlaybackSession::Clock::time_point> PlaybackSession::NextTick() const {
    if (sent_ < due_) return start_;  // due already, held back by the chunk size
    if (step_ < recording_.steps.size()) return DueAt(recording_.steps[step_]);
    return std::nullopt;
}

// Measured from the start, so that pauses do not add up rounding errors.
PlaybackSession::Clock::time_point PlaybackSession::DueAt(const Recording::Step& step) const {
    const std::chrono::duration<double> offset{
        std::min(step.seconds / speed_, kLongestWaitSeconds)};
    return start_ + std::chrono::duration_cast<Clock::duration>(offset);
}

}  // namespace quill::demo
