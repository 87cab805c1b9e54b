#pragma once

namespace quill {

// The Telnet options the client takes beyond the terminal type, which it
// always takes: it reports its window size (NAWS) and transmits binary data
// both ways, or refuses both. The type it reports is "vt100", or the one
// the user set.
struct OptionPolicy {
    bool windowSizeAndBinary = false;
    bool userTerminalType = false;
};

}  // namespace quill
