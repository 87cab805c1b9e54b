#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/interfaces/display_sink.h"
#include "core/interfaces/scroll_off_observer.h"
#include "core/interfaces/terminal_options.h"

namespace quill {

constexpr int kColumns = 80;
constexpr int kScreenRows = 24;
constexpr int kHistoryRows = 275;
constexpr int kBufferRows = 300;  // history, screen, one spare row
constexpr int kFirstScreenRow = kHistoryRows;
constexpr int kGridBytes = kBufferRows * kColumns;
constexpr int kScreenMemoryBytes = 2 * kGridBytes;
constexpr int kLiveViewTop = kHistoryRows;

// Attribute codes: one per cell, never combined.
constexpr std::uint8_t kAttrNormal = 0;
constexpr std::uint8_t kAttrBold = 1;
constexpr std::uint8_t kAttrReverse = 4;

// Character-set designations.
constexpr int kCharsetPlain = 1;
constexpr int kCharsetLineDrawing = 2;

// The two character-set slots SO and SI switch between.
enum class CharsetSlot { G0, G1 };

// The terminal's screen: a character grid followed by an attribute grid of
// 300 rows by 80 columns (rows 0-274 history, 275-298 the screen, 299 spare),
// the cursor, the scrolling region, the current attribute and character sets.
// Every writer of the screen goes through the operations below; they change
// the grids and tell the display what is stale, never drawing themselves.
class ScreenModel {
  public:
    // Reads the wrap option whenever text reaches the last column.
    ScreenModel(DisplaySink& display, const TerminalOptions& options);
    ScreenModel(const ScreenModel&) = delete;
    ScreenModel& operator=(const ScreenModel&) = delete;

    // Fill the grids with spaces and attribute 0, as the window does when created.
    void BlankScreenMemory();

    void ScreenPlaceChar(std::uint8_t b);
    void ScreenWriteByte(std::uint8_t b);
    void ScreenWriteString(std::string_view s);
    // ScreenWriteString of `count` spaces, for erasing within a line.
    void ScreenWriteSpaces(int count);
    void ScreenScrollUp(int count);
    void ScreenScrollDown(int count);
    void ScreenMoveToRow(int target);
    void ScreenSetColumn(int column);
    int ScreenColumn();
    int ScreenRow();
    void ScreenUpdateCaret();
    void ScreenDeleteChars(int count);
    void ScreenDeleteLines(int count);
    void ScreenRepaint();
    void ScreenEraseAll();
    void ScreenEraseToCursor();
    void ScreenEraseFromCursor();
    void ScreenSetAttribute(int rendition);
    void ScreenSetRegion(int top, int bottom);
    void ScreenAlignmentFill();
    std::uint8_t ScreenTranslateChar(std::uint8_t b) const;

    // SO and SI, and the designation of either slot (ESC ( and ESC )).
    void ActivateG1() { activeSet_ = &G1; }
    void ActivateG0() { activeSet_ = &G0; }
    bool G1Active() const { return activeSet_ == &G1; }
    void Designate(CharsetSlot slot, int charset) { (slot == CharsetSlot::G0 ? G0 : G1) = charset; }
    int Designation(CharsetSlot slot) const { return slot == CharsetSlot::G0 ? G0 : G1; }

    // Who is told of rows scrolled off the top; none (null) by default.
    void SetScrollOffObserver(ScrollOffObserver* observer) { scrollOff_ = observer; }

    // The caret follows the cursor only while the window shows it.
    void SetCaretVisible(bool visible) { caretVisible_ = visible; }
    bool CaretVisible() const { return caretVisible_; }

    // Read access for painting, copy, print and tests.
    const std::array<std::uint8_t, kScreenMemoryBytes>& Memory() const { return ScreenMemory; }
    std::uint8_t CharAt(int bufferRow, int column) const {
        return ScreenMemory[bufferRow * kColumns + column];
    }
    std::uint8_t AttrAt(int bufferRow, int column) const {
        return ScreenMemory[kGridBytes + bufferRow * kColumns + column];
    }
    int CursorRow() const { return cursorRow_; }
    int CursorColumn() const { return cursorColumn_; }
    int RegionTop() const { return regionTop_; }
    int RegionBottom() const { return regionBottom_; }
    std::uint8_t CurrentAttribute() const { return currentAttribute_; }

  private:
    std::uint8_t* CharRow(int bufferRow) { return &ScreenMemory[bufferRow * kColumns]; }
    std::uint8_t* AttrRow(int bufferRow) {
        return &ScreenMemory[kGridBytes + bufferRow * kColumns];
    }
    void CopyScreenRow(int from, int to);
    void BlankScreenRow(int row);
    void BlankCells(int firstOffset, int endOffset);
    void Caret();
    void InvalidateAndUpdate();
    void StoreAtCursor(std::uint8_t b);

    DisplaySink& display_;
    const TerminalOptions& options_;
    ScrollOffObserver* scrollOff_ = nullptr;
    std::array<std::uint8_t, kScreenMemoryBytes> ScreenMemory{};
    int cursorRow_ = 0;
    int cursorColumn_ = 0;
    int regionTop_ = 1;
    int regionBottom_ = kScreenRows;
    std::uint8_t currentAttribute_ = kAttrNormal;
    bool caretVisible_ = true;
    int G0 = kCharsetPlain;
    int G1 = kCharsetLineDrawing;
    int* activeSet_ = &G0;
};

}  // namespace quill
