// The extended terminal against libvterm: random streams from the grammar
// in stream_grammar.cpp, with a fixed seed, compared screen by screen.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "stream_grammar.h"
#include "vterm_comparison.h"

namespace quill::test {
namespace {

constexpr int kStreams = 3000;
constexpr std::uint32_t kSeed = 20261209;

TEST(VtermDifferential, RandomStreamsLeaveTheSameScreen) {
    SeededChoices choices(kSeed);
    long cells = 0;
    for (int i = 0; i < kStreams; ++i) {
        const std::string stream =
            GenerateStream(choices, 1 + static_cast<int>(choices.Below(120)));
        const int chunk = 1 + static_cast<int>(choices.Below(100));
        const Comparison comparison = CompareWithVterm(stream, chunk);
        cells += comparison.cells;
        ASSERT_EQ(comparison.difference, "")
            << "stream " << i << " (chunk " << chunk << "): " << Shown(stream);
    }
    std::printf("%d streams, %ld cells compared\n", kStreams, cells);
}

}  // namespace
}  // namespace quill::test
