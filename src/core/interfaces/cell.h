#pragma once

#include <cstdint>
#include <type_traits>

namespace quill {

// A colour of a cell: the default colour, an index 0-255 into the palette, or
// a direct RGB colour. Zero is the default, so that a blank cell is all zero.
class CellColour {
  public:
    enum class Kind : std::uint8_t { kDefault = 0, kPalette = 1, kRgb = 2 };

    constexpr CellColour() = default;
    static constexpr CellColour Palette(std::uint8_t index) {
        return CellColour(Kind::kPalette, index);
    }
    static constexpr CellColour Direct(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return CellColour(Kind::kRgb,
                          (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue);
    }

    constexpr Kind kind() const { return static_cast<Kind>(bits_ >> 24); }
    // The palette index, or the colour as 0xRRGGBB.
    constexpr std::uint32_t value() const { return bits_ & 0xFFFFFF; }
    constexpr bool operator==(const CellColour&) const = default;

  private:
    constexpr CellColour(Kind kind, std::uint32_t value)
        : bits_((static_cast<std::uint32_t>(kind) << 24) | value) {}
    std::uint32_t bits_ = 0;
};

// Attribute flags of a cell.
namespace cell_flags {
constexpr std::uint16_t kBold = 1 << 0;
constexpr std::uint16_t kFaint = 1 << 1;
constexpr std::uint16_t kItalic = 1 << 2;
constexpr std::uint16_t kUnderline = 1 << 3;
constexpr std::uint16_t kBlink = 1 << 4;
constexpr std::uint16_t kReverse = 1 << 5;
constexpr std::uint16_t kHidden = 1 << 6;
constexpr std::uint16_t kStrike = 1 << 7;
// The right half of a wide character, whose left half is the cell before.
constexpr std::uint16_t kWideRight = 1 << 8;
// The top seven bits: the host's hyperlink (OSC 8) the cell is part of, an
// entry of the screen's side table, 0 for none.
constexpr int kLinkShift = 9;
constexpr std::uint16_t kLinkBits = 0xFE00;
}  // namespace cell_flags

// One character cell of the screen or the history. All zero bytes is a blank
// cell: a space in the default colours with no attribute, so that clearing a
// row is one memset.
struct Cell {
    // The code point; 0 in a blank cell, which reads as a space.
    char32_t character = 0;
    CellColour foreground;
    CellColour background;
    std::uint16_t flags = 0;
    // The combining marks that follow the character: an entry of the
    // screen's side table, 0 for none.
    std::uint16_t marks = 0;

    constexpr char32_t Character() const { return character == 0 ? U' ' : character; }
    constexpr bool Has(std::uint16_t flag) const { return (flags & flag) != 0; }
    constexpr std::uint16_t Link() const {
        return static_cast<std::uint16_t>(flags >> cell_flags::kLinkShift);
    }
    constexpr bool operator==(const Cell&) const = default;
};

static_assert(sizeof(Cell) == 16, "a cell stays small");
static_assert(std::is_trivially_copyable_v<Cell>, "rows are copied and cleared as bytes");

// Attribute codes of the plain terminal, one per cell, never combined.
constexpr std::uint8_t kAttrNormal = 0;
constexpr std::uint8_t kAttrBold = 1;
constexpr std::uint8_t kAttrReverse = 4;

// The plain terminal's attribute code of a cell: it sets bold or reverse,
// never both.
constexpr std::uint8_t AttributeCode(const Cell& cell) {
    if (cell.Has(cell_flags::kReverse)) return kAttrReverse;
    return cell.Has(cell_flags::kBold) ? kAttrBold : kAttrNormal;
}

}  // namespace quill
