#pragma once

#include <QFont>
#include <QRawFont>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "ui/terminal/terminal_fonts.h"

namespace quill {

// The glyph of each character in each font variant, found once: painting a
// row looks glyphs up here and never shapes text. A character the terminal
// font lacks takes the glyph of the font Qt's fallback picks, scaled down
// when it is wider than its cells, so that the grid never shifts.
class GlyphCache {
  public:
    enum Variant : std::uint8_t { kRegular, kBold, kItalic, kBoldItalic, kVariants };

    struct Glyph {
        std::uint32_t index = 0;
        // Which font draws it: one of the variants, or a fallback font
        // (Substitute) that may reach beyond the cells.
        std::uint16_t font = 0;
        bool known = false;
    };

    explicit GlyphCache(const TerminalFonts& fonts);

    // The glyph of `c` in variant `v`; `cells` (1, or 2 for a wide
    // character) bounds the width of a fallback glyph.
    Glyph Find(Variant v, char32_t c, int cells) {
        if (c < kDirect) {
            Glyph& g = direct_[v][c];
            if (!g.known) g = Miss(v, c, cells);
            return g;
        }
        const std::uint64_t key = (std::uint64_t{v} << 32) | c;
        const auto it = others_.find(key);
        if (it != others_.end()) return it->second;
        return others_[key] = Miss(v, c, cells);
    }

    const QRawFont& Font(std::uint16_t font) const { return raw_[font]; }
    static bool Substitute(std::uint16_t font) { return font >= kVariants; }
    // How many lookups had to ask the fonts.
    int Misses() const { return misses_; }

  private:
    // Code points below this are looked up in a table, the others in a map.
    static constexpr char32_t kDirect = 0x800;

    Glyph Miss(Variant v, char32_t c, int cells);
    std::uint16_t FontIndex(const QRawFont& font);

    std::array<QFont, kVariants> fonts_;
    std::vector<QRawFont> raw_;
    int cellWidth_;
    std::array<std::vector<Glyph>, kVariants> direct_;
    std::unordered_map<std::uint64_t, Glyph> others_;
    int misses_ = 0;
};

}  // namespace quill
