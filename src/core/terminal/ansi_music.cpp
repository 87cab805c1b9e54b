#include "core/terminal/ansi_music.h"

#include <string_view>

#include "core/terminal/control_codes.h"

namespace quill {

namespace {

// A music string longer than this is taken for text after a bare CSI M.
constexpr std::size_t kHeldLimit = 1024;

bool InMusicString(std::uint8_t b) {
    constexpr std::string_view kMusicCharacters = "ABCDEFGLMNOPT<>#+-. ";
    return (b >= '0' && b <= '9') || kMusicCharacters.find(static_cast<char>(b)) !=
                                         std::string_view::npos;
}

}  // namespace

void AnsiMusic::Begin(MusicStart start) {
    start_ = start;
    held_.clear();
}

AnsiMusic::Outcome AnsiMusic::Feed(std::uint8_t b) {
    if (b == kSo) {
        Begin(MusicStart::kNone);
        return Outcome::kEnded;
    }
    if (InMusicString(b) && held_.size() < kHeldLimit) {
        if (Undecided()) held_.push_back(static_cast<char>(b));
        return Outcome::kTaken;
    }
    start_ = MusicStart::kNone;
    return Outcome::kNotMusic;
}

std::string AnsiMusic::TakeHeld() {
    std::string held;
    held.swap(held_);
    start_ = MusicStart::kNone;
    return held;
}

}  // namespace quill
