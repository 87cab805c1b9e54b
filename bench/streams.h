#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quill::bench {

// A generated server stream, the same bytes for every engine measured.
struct Stream {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// The four benchmark streams, each about targetBytes long: plain text lines,
// text with frequent SGR, cursor positioning and erasing, very short lines
// (scrolling dominates), and text with Telnet commands mixed in.
std::vector<Stream> GenerateStreams(std::size_t targetBytes);

}  // namespace quill::bench
