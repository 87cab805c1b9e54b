#include "core/interfaces/palette.h"

namespace quill {

namespace {

constexpr int kCubeStart = 16;
constexpr int kGreyStart = 232;

// xterm's sixteen: normal, then bright.
constexpr std::array<Rgb, 16> kSixteen = {{
    {0, 0, 0},
    {205, 0, 0},
    {0, 205, 0},
    {205, 205, 0},
    {0, 0, 238},
    {205, 0, 205},
    {0, 205, 205},
    {229, 229, 229},
    {127, 127, 127},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {92, 92, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

// The PC's sixteen in VGA text mode, in the same order: brown for yellow,
// light grey for white.
constexpr std::array<Rgb, 16> kPcSixteen = {{
    {0, 0, 0},
    {170, 0, 0},
    {0, 170, 0},
    {170, 85, 0},
    {0, 0, 170},
    {170, 0, 170},
    {0, 170, 170},
    {170, 170, 170},
    {85, 85, 85},
    {255, 85, 85},
    {85, 255, 85},
    {255, 255, 85},
    {85, 85, 255},
    {255, 85, 255},
    {85, 255, 255},
    {255, 255, 255},
}};

// A step of the cube: 0, then 95 and up by 40.
std::uint8_t CubeLevel(int step) {
    return static_cast<std::uint8_t>(step == 0 ? 0 : 55 + step * 40);
}

}  // namespace

Rgb Palette::Default(std::uint8_t index) {
    if (index < kCubeStart) return kSixteen[index];
    if (index < kGreyStart) {
        const int n = index - kCubeStart;
        return {CubeLevel(n / 36), CubeLevel(n / 6 % 6), CubeLevel(n % 6)};
    }
    const auto grey = static_cast<std::uint8_t>(8 + (index - kGreyStart) * 10);
    return {grey, grey, grey};
}

void Palette::ResetAll() {
    for (int i = 0; i < kSize; ++i)
        colours_[static_cast<std::size_t>(i)] = Default(static_cast<std::uint8_t>(i));
}

const Palette& Palette::Pc() {
    static const Palette pc = [] {
        Palette palette;
        for (std::size_t i = 0; i < kPcSixteen.size(); ++i) {
            palette.Set(static_cast<std::uint8_t>(i), kPcSixteen[i]);
        }
        return palette;
    }();
    return pc;
}

}  // namespace quill
