#include "playback_session.h"

#include <algorithm>

namespace quill::demo {
namespace {

// Later than any playback lasts, and still far from overflowing the clock.
constexpr double kLongestWaitSeconds = 1e9;

}  // namespace

PlaybackSession::PlaybackSession(const Recording& recording, double speed)
    : recording_(recording), speed_(speed) {
    if (recording.Timing() != nullptr) {
        steps_.emplace(*recording.Timing());
        next_ = NextStep();
    } else if (recording.Steps() != nullptr) {
        next_ = NextStep();
    } else {
        next_ = Step{0, recording.Size()};
    }
}

std::string PlaybackSession::Start(Clock::time_point now) {
    start_ = now;
    return Tick(now);
}

std::string PlaybackSession::Feed(const std::uint8_t*, std::size_t) {
    return {};
}

std::string PlaybackSession::Tick(Clock::time_point now) {
    while (next_ && DueAt(*next_) <= now) {
        due_ = next_->end;
        next_ = NextStep();
    }
    const std::size_t length = std::min(due_ - sent_, kChunk);
    std::string out = recording_.Read(sent_, length);
    if (out.size() < length) {  // the log has shrunk since it was opened: it ends here
        due_ = sent_ + out.size();
        next_.reset();
    }
    sent_ += out.size();
    return out;
}

std::optional<Step> PlaybackSession::NextStep() {
    if (const std::vector<Step>* held = recording_.Steps()) {
        if (heldStep_ == held->size()) return std::nullopt;
        return (*held)[heldStep_++];
    }
    if (!steps_) return std::nullopt;
    std::string error;
    return steps_->Next(error);
}

std::optional<PlaybackSession::Clock::time_point> PlaybackSession::NextTick() const {
    if (sent_ < due_) return start_;  // due already, held back by the chunk size
    if (next_) return DueAt(*next_);
    return std::nullopt;
}

// Measured from the start, so that pauses do not add up rounding errors.
PlaybackSession::Clock::time_point PlaybackSession::DueAt(const Step& step) const {
    const std::chrono::duration<double> offset{
        std::min(step.seconds / speed_, kLongestWaitSeconds)};
    return start_ + std::chrono::duration_cast<Clock::duration>(offset);
}

}  // namespace quill::demo
