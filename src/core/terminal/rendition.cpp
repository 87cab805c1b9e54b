#include "core/terminal/rendition.h"

#include <cstddef>
#include <cstdint>

namespace quill {

namespace {

using namespace cell_flags;

// The flag SGR 1-9 sets (6, rapid blink, counts as blink), or 0.
std::uint16_t SetFlag(int parameter) {
    static constexpr std::uint16_t kFlags[] = {0,      kBold,  kFaint,   kItalic, kUnderline,
                                               kBlink, kBlink, kReverse, kHidden, kStrike};
    return parameter >= 1 && parameter <= 9 ? kFlags[parameter] : 0;
}

// The flags SGR 21-29 clears (21 is double underline, which sets underline).
std::uint16_t ClearedFlags(int parameter) {
    switch (parameter) {
        case 22:
            return kBold | kFaint;
        case 23:
            return kItalic;
        case 24:
            return kUnderline;
        case 25:
            return kBlink;
        case 27:
            return kReverse;
        case 28:
            return kHidden;
        case 29:
            return kStrike;
        default:
            return 0;
    }
}

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

bool IsByte(int value) {
    return value >= 0 && value <= 255;
}

// 38 or 48 at `at`: 5;N or 2;R;G;B follow. Returns how many parameters it took
// after the first; a colour out of range leaves the pen's alone.
std::size_t ExtendedColour(CellColour& colour, std::span<const int> p, std::size_t at) {
    const std::size_t left = p.size() - at - 1;
    if (left >= 2 && p[at + 1] == 5) {
        if (IsByte(p[at + 2])) colour = CellColour::Palette(Byte(p[at + 2]));
        return 2;
    }
    if (left >= 4 && p[at + 1] == 2) {
        if (IsByte(p[at + 2]) && IsByte(p[at + 3]) && IsByte(p[at + 4])) {
            colour = CellColour::Direct(Byte(p[at + 2]), Byte(p[at + 3]), Byte(p[at + 4]));
        }
        return 4;
    }
    return left;  // an incomplete colour ends the sequence
}

// The colon form of 38 or 48 (5:N, 2:R:G:B or 2:I:R:G:B with I the colour
// space, which is ignored): `group` holds the sub-parameters.
void ColonColour(CellColour& colour, std::span<const int> group) {
    if (group.size() >= 2 && group[0] == 5 && IsByte(group[1])) {
        colour = CellColour::Palette(Byte(group[1]));
    } else if (group.size() >= 4 && group[0] == 2) {
        const std::size_t red = group.size() >= 5 ? 2 : 1;
        if (IsByte(group[red]) && IsByte(group[red + 1]) && IsByte(group[red + 2])) {
            colour =
                CellColour::Direct(Byte(group[red]), Byte(group[red + 1]), Byte(group[red + 2]));
        }
    }
}

// How many sub-parameters follow parameter `at`.
std::size_t SubparameterCount(std::uint32_t subparameters, std::size_t at, std::size_t size) {
    std::size_t count = 0;
    while (at + 1 + count < size && at + 1 + count < 32 &&
           (subparameters >> (at + 1 + count) & 1U) != 0) {
        ++count;
    }
    return count;
}

}  // namespace

void ApplyXtermRenditions(Cell& pen, std::span<const int> p, std::uint32_t subparameters) {
    for (std::size_t at = 0; at < p.size(); ++at) {
        const int n = p[at];
        const std::size_t group = SubparameterCount(subparameters, at, p.size());
        if (group > 0) {
            if (n == 38) ColonColour(pen.foreground, p.subspan(at + 1, group));
            if (n == 48) ColonColour(pen.background, p.subspan(at + 1, group));
            at += group;
            if (n == 38 || n == 48) continue;
        }
        if (n == 0) {
            pen = Cell{};
        } else if (n <= 9) {
            pen.flags |= SetFlag(n);
        } else if (n == 21) {
            pen.flags |= kUnderline;
        } else if (n <= 29) {
            pen.flags &= static_cast<std::uint16_t>(~ClearedFlags(n));
        } else if (n <= 37) {
            pen.foreground = CellColour::Palette(Byte(n - 30));
        } else if (n == 38) {
            at += ExtendedColour(pen.foreground, p, at);
        } else if (n == 39) {
            pen.foreground = CellColour{};
        } else if (n <= 47) {
            pen.background = CellColour::Palette(Byte(n - 40));
        } else if (n == 48) {
            at += ExtendedColour(pen.background, p, at);
        } else if (n == 49) {
            pen.background = CellColour{};
        } else if (n >= 90 && n <= 97) {
            pen.foreground = CellColour::Palette(Byte(n - 90 + 8));
        } else if (n >= 100 && n <= 107) {
            pen.background = CellColour::Palette(Byte(n - 100 + 8));
        }
    }
}

}  // namespace quill
