#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill::test {

// What one comparison found.
struct Comparison {
    long cells = 0;          // cells compared
    std::string difference;  // empty when both screens agree
};

// Feeds `stream` to the extended terminal (in blocks of `chunk` bytes) and
// to libvterm (whole, in one write), both 80 x 24, and compares the screens
// cell by cell (character, colours, attributes) and the cursor.
Comparison CompareWithVterm(std::string_view stream, int chunk);

// A stream as printable text, control bytes and others as \xHH, for a report.
std::string Shown(std::string_view stream);

}  // namespace quill::test
