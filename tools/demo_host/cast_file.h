#pragma once

#include <optional>
#include <string>
#include <vector>

#include "recording.h"

namespace quill::demo {

// What an asciicast recording writes to the terminal: the text of its output
// ("o") events one after another, and a step at each event's time. Input,
// marker and resize events are passed over.
struct CastOutput {
    std::string bytes;
    std::vector<Step> steps;
};

// Reads and checks a whole asciicast v1 file (one JSON object, the delays
// of its "stdout" frames since the frame before) or v2 file (a header line,
// then one event array per line, at times since the start). nullopt when
// something is wrong, with a one-line `error`: the file, the line (in v1,
// the frame) and what is wrong.
std::optional<CastOutput> LoadCast(const std::string& path, std::string& error);

}  // namespace quill::demo
