#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace quill {

// A control sequence as collected: ESC [, parameters, final byte. The plain
// terminal keeps up to kMaxParameters; the extended one up to
// kMaxXtermParameters, with xterm's private marker, intermediate byte and
// colon sub-parameters.
struct ControlSequence {
    static constexpr int kMaxParameters = 16;
    static constexpr int kMaxXtermParameters = 32;
    // A parameter that received no digit is 0.
    std::array<int, kMaxXtermParameters> parameters{};
    // Parameters begun: one more than the limit once a later one began.
    int count = 1;
    std::uint8_t final = 0;
    // '?', '>', '=' or '<' before the parameters, else 0.
    std::uint8_t marker = 0;
    // The byte from 0x20 to 0x2F before the final byte, else 0.
    std::uint8_t intermediate = 0;
    // Bit i: parameter i was begun by ':' (a sub-parameter of the one before).
    std::uint32_t subparameters = 0;
    // No byte came between ESC [ and the final byte: CSI M, where CSI 0 M
    // gave a parameter (whose value is the same 0).
    bool bare = true;

    // Parameter i, 0 when it was not given.
    int At(int i) const { return i < count && i < kMaxXtermParameters ? parameters[i] : 0; }
    // The parameters given, as far as they were kept.
    std::span<const int> Given() const {
        return {parameters.data(), static_cast<std::size_t>(std::min(count, kMaxXtermParameters))};
    }
};

// A row or column as the host gives it, 1-based with 0 standing for 1, as
// the screen counts it, from 0.
constexpr int PositionOf(int parameter) {
    return std::max(parameter, 1) - 1;
}

// The last row or column of a region or margins: 1-based, with 0 for the
// screen's edge, `size` rows or columns away; as the screen counts it.
constexpr int LastPositionOf(int parameter, int size) {
    return (parameter == 0 ? size : parameter) - 1;
}

}  // namespace quill
