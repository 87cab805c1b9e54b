#pragma once

namespace quill {

// The cursor's look the host chooses (DECSCUSR): its shape and whether it
// blinks. xterm starts with a steady block.
enum class CursorShape { kBlock, kUnderline, kBar };
struct CursorStyle {
    CursorShape shape = CursorShape::kBlock;
    bool blinks = false;
    bool operator==(const CursorStyle&) const = default;
};

}  // namespace quill
