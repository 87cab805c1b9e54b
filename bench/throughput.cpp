// Throughput of the inbound byte stream, measured against two references in
// the same run so that the ratios hold on a noisy machine: a loop that only
// classifies each byte, and libvterm fed the same bytes in the same blocks.
//
//   quillterm-bench-throughput [--runs N] [--mib N]

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "core/engine/headless_terminal.h"
#include "streams.h"
#include "vterm_reference.h"

namespace quill::bench {
namespace {

constexpr std::size_t kBlock = kReceiveChunk;

// The terminal as the window builds it, with a display that does nothing.
struct Quillterm {
    void Write(const std::uint8_t* bytes, std::size_t count) {
        headless.terminal().Feed(bytes, static_cast<int>(count));
    }

    HeadlessTerminal headless;
};

// The least a terminal does with a byte: decide what kind it is.
class Classifier {
  public:
    Classifier() {
        for (int b = 0; b < 256; ++b) kind_[b] = KindOf(b);
    }
    void Write(const std::uint8_t* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) ++counts_[kind_[bytes[i]]];
    }
    ~Classifier() {
        std::uint64_t total = 0;
        for (auto c : counts_) total += c;
        sink = total;  // keeps the loop from being optimised away
    }
    static inline volatile std::uint64_t sink = 0;

  private:
    static std::uint8_t KindOf(int b) {
        if (b == 0xFF) return 0;               // IAC
        if (b == 0x1B) return 1;               // ESC
        if (b >= 0x20 && b <= 0x7E) return 2;  // displayable
        if (b < 0x20) return 3;                // other control
        return 4;                              // never displayed
    }
    std::array<std::uint8_t, 256> kind_{};
    std::array<std::uint64_t, 5> counts_{};
};

struct Adapter {
    VtermReference vterm;
    void Write(const std::uint8_t* bytes, std::size_t count) { vterm.Write(bytes, count); }
};

template <class Engine>
double Seconds(const Stream& stream) {
    auto engine = std::make_unique<Engine>();
    const auto& bytes = stream.bytes;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t at = 0; at < bytes.size(); at += kBlock) {
        engine->Write(bytes.data() + at, std::min(kBlock, bytes.size() - at));
    }
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(end - start).count();
}

struct Best {
    double ours = 1e300;
    double baseline = 1e300;
    double vterm = 1e300;
};

// Best of several runs; the three engines take turns so that a slow moment
// of the machine hits all of them alike.
Best Measure(const Stream& stream, int runs) {
    Best best;
    for (int run = 0; run < runs; ++run) {
        best.ours = std::min(best.ours, Seconds<Quillterm>(stream));
        best.baseline = std::min(best.baseline, Seconds<Classifier>(stream));
        best.vterm = std::min(best.vterm, Seconds<Adapter>(stream));
    }
    return best;
}

double MegabytesPerSecond(std::size_t bytes, double seconds) {
    return bytes / 1e6 / seconds;
}

bool ParseCount(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > high) return false;
    value = static_cast<int>(parsed);
    return true;
}

struct Arguments {
    int runs = 5;
    int mebibytes = 8;
};

bool ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; i += 2) {
        const std::string_view option = argv[i];
        if (i + 1 >= argc) return false;
        if (option == "--runs") {
            if (!ParseCount(argv[i + 1], 1, 100, args.runs)) return false;
        } else if (option == "--mib") {
            if (!ParseCount(argv[i + 1], 1, 1024, args.mebibytes)) return false;
        } else {
            return false;
        }
    }
    return true;
}

int Main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fprintf(stderr, "usage: quillterm-bench-throughput [--runs N] [--mib N]\n");
        return 2;
    }
    const auto streams = GenerateStreams(static_cast<std::size_t>(args.mebibytes) << 20);
    std::printf("%d run(s) each, blocks of %zu bytes, MB/s = 10^6 bytes per second\n\n", args.runs,
                kBlock);
    std::printf("%-20s %10s %10s %10s %14s %14s\n", "stream", "ours", "baseline", "libvterm",
                "ours/libvterm", "ours/baseline");
    bool targetMet = true;
    for (const auto& stream : streams) {
        const Best best = Measure(stream, args.runs);
        const std::size_t size = stream.bytes.size();
        const double ours = MegabytesPerSecond(size, best.ours);
        const double baseline = MegabytesPerSecond(size, best.baseline);
        const double vterm = MegabytesPerSecond(size, best.vterm);
        std::printf("%-20s %10.1f %10.1f %10.1f %14.2f %14.3f\n", stream.name.c_str(), ours,
                    baseline, vterm, ours / vterm, ours / baseline);
        targetMet = targetMet && ours >= 2 * vterm;
    }
    std::printf("\ntarget (at least 2x libvterm on every stream): %s\n",
                targetMet ? "met" : "missed");
    return 0;
}

}  // namespace
}  // namespace quill::bench

int main(int argc, char** argv) {
    return quill::bench::Main(argc, argv);
}
