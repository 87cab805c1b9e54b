// libFuzzer target: the differential test against libvterm, with the
// fuzzer's bytes as the grammar's decisions. Byte 0 picks the receive block
// size (1 + byte % 100); the rest chooses the pieces of the stream. Any
// difference between the two screens aborts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "choices.h"
#include "stream_grammar.h"
#include "vterm_comparison.h"

namespace {

constexpr int kMaxPieces = 400;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    quill::test::ByteChoices choices(data + 1, size - 1);
    const std::string stream = quill::test::GenerateStream(choices, kMaxPieces);
    const quill::test::Comparison comparison =
        quill::test::CompareWithVterm(stream, 1 + data[0] % 100);
    if (comparison.difference.empty()) return 0;
    std::fprintf(stderr, "fuzz_vterm: %s\nstream (chunk %d): %s\n", comparison.difference.c_str(),
                 1 + data[0] % 100, quill::test::Shown(stream).c_str());
    std::abort();
}
