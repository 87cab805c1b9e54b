#pragma once

#include <ostream>
#include <string>

#include "core/terminal/screen_model.h"

namespace quill {

// How the log was recorded: in the plain terminal (80 x 24, TERM vt100) or
// in the extended one, of `size` and the default terminal type.
struct CastSetup {
    bool extended = false;
    ScreenGeometry size = {};
};

// The asciicast v2 recording of the session log LOG and its LOG.timing: a
// header (the size, the time the log began, TERM), then one "o" event per
// line of the timing file, at the time of that line since the log began,
// with the terminal's output of the bytes the line counts (see CastText).
// False, with a one-line `error`, when the files cannot be read or do not
// agree.
bool LogToAsciicast(const std::string& log, const CastSetup& setup, std::ostream& out,
                    std::string& error);

// One event line of an asciicast v2 recording: the time and the text (UTF-8),
// escaped for JSON.
std::string AsciicastEvent(double seconds, const std::string& text);

}  // namespace quill
