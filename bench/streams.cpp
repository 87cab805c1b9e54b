#include "streams.h"

#include <string_view>

namespace quill::bench {
namespace {

// A fixed-seed generator, so every run measures the same bytes.
class Random {
  public:
    unsigned Below(unsigned n) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<unsigned>(state_ % n);
    }
    bool OneIn(unsigned n) { return Below(n) == 0; }

  private:
    std::uint64_t state_ = 0x9E3779B97F4A7C15ULL;
};

class Writer {
  public:
    Writer(std::vector<std::uint8_t>& out, Random& random) : out_(out), random_(random) {}

    void Bytes(std::string_view s) { out_.insert(out_.end(), s.begin(), s.end()); }
    void Byte(std::uint8_t b) { out_.push_back(b); }
    void Number(unsigned n) { Bytes(std::to_string(n)); }
    void LineEnd() { Bytes("\r\n"); }

    // Words of lower-case letters with the odd capital and digit, as text reads.
    void Text(unsigned length) {
        for (unsigned i = 0; i < length; ++i) {
            if (random_.OneIn(6)) {
                Byte(' ');
            } else if (random_.OneIn(20)) {
                Byte(static_cast<std::uint8_t>('0' + random_.Below(10)));
            } else {
                const char base = random_.OneIn(15) ? 'A' : 'a';
                Byte(static_cast<std::uint8_t>(base + random_.Below(26)));
            }
        }
    }

    void Csi(unsigned first, char final) {
        Bytes("\x1b[");
        Number(first);
        Byte(static_cast<std::uint8_t>(final));
    }
    void Csi(unsigned first, unsigned second, char final) {
        Bytes("\x1b[");
        Number(first);
        Byte(';');
        Number(second);
        Byte(static_cast<std::uint8_t>(final));
    }

  private:
    std::vector<std::uint8_t>& out_;
    Random& random_;
};

void PlainLine(Writer& w, Random& r) {
    w.Text(20 + r.Below(60));
    w.LineEnd();
}

// A piece of a full-screen program's redraw: position, rendition, text, erase.
void ScreenUpdate(Writer& w, Random& r) {
    w.Csi(1 + r.Below(24), 1 + r.Below(60), 'H');
    static constexpr std::string_view kRenditions[] = {"\x1b[1m", "\x1b[7m", "\x1b[0;1m", "\x1b[4m",
                                                       "\x1b[m"};
    w.Bytes(kRenditions[r.Below(5)]);
    w.Text(4 + r.Below(16));
    w.Bytes("\x1b[0m");
    if (r.OneIn(3)) w.Bytes("\x1b[K");
    if (r.OneIn(40)) w.Bytes("\x1b[J");
    if (r.OneIn(1000)) w.Bytes("\x1b[2J");
}

void ShortLine(Writer& w, Random& r) {
    w.Text(r.Below(4));
    w.LineEnd();
}

// Text with IAC IAC, IAC NOP and IAC DO x between the words.
void TelnetLine(Writer& w, Random& r) {
    const unsigned pieces = 2 + r.Below(4);
    for (unsigned i = 0; i < pieces; ++i) {
        w.Text(5 + r.Below(15));
        const unsigned command = r.Below(8);
        if (command < 4) {
            w.Bytes("\xff\xff");
        } else if (command < 7) {
            w.Bytes("\xff\xf1");
        } else {
            w.Bytes("\xff\xfd");
            w.Byte(static_cast<std::uint8_t>(r.Below(40)));
        }
    }
    w.LineEnd();
}

using Piece = void (*)(Writer&, Random&);

Stream Generate(std::string name, Piece piece, std::size_t targetBytes) {
    Stream stream{std::move(name), {}};
    stream.bytes.reserve(targetBytes + 256);
    Random random;
    Writer writer(stream.bytes, random);
    while (stream.bytes.size() < targetBytes) piece(writer, random);
    return stream;
}

}  // namespace

std::vector<Stream> GenerateStreams(std::size_t targetBytes) {
    return {Generate("plain text", PlainLine, targetBytes),
            Generate("SGR, cursor, erase", ScreenUpdate, targetBytes),
            Generate("short lines", ShortLine, targetBytes),
            Generate("Telnet commands", TelnetLine, targetBytes)};
}

}  // namespace quill::bench
