#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quill::demo {

// A session log: the exact bytes a Telnet server sent to its client, and
// when the client read them.
struct Recording {
    // The client had read up to byte `end` at `seconds` after the log began.
    struct Step {
        double seconds = 0;
        std::size_t end = 0;
    };

    std::string bytes;
    // Without a timing file, one step at 0 s with everything.
    std::vector<Step> steps;
};

// Reads LOG and, if given, its timing file: one line per read of the client,
// "SECONDS COUNT", SECONDS (e.g. 0.104512) the time since the previous read
// and COUNT the bytes read. The counts must add up to the size of LOG.
// nullopt when something is wrong, with a one-line `error`.
std::optional<Recording> LoadRecording(const std::string& log,
                                       const std::optional<std::string>& timing,
                                       std::string& error);

}  // namespace quill::demo
