#include "core/terminal/screen_model.h"

#include <algorithm>
#include <cstring>

namespace quill {

namespace {

constexpr int kTabWidth = 8;
constexpr std::uint8_t kSpace = ' ';

int ClampInt(int value, int low, int high) {
    return std::min(std::max(value, low), high);
}

}  // namespace

ScreenModel::ScreenModel(DisplaySink& display, const TerminalOptions& options)
    : display_(display), options_(options) {}

void ScreenModel::BlankScreenMemory() {
    std::memset(ScreenMemory.data(), kSpace, kGridBytes);
    std::memset(ScreenMemory.data() + kGridBytes, kAttrNormal, kGridBytes);
}

void ScreenModel::Caret() {
    if (caretVisible_) display_.SetCaretPos(cursorRow_, cursorColumn_);
}

void ScreenModel::InvalidateAndUpdate() {
    display_.InvalidateAll();
    display_.UpdateNow();
}

void ScreenModel::StoreAtCursor(std::uint8_t b) {
    const int offset = (kFirstScreenRow + cursorRow_) * kColumns + cursorColumn_;
    ScreenMemory[offset] = b;
    ScreenMemory[kGridBytes + offset] = currentAttribute_;
}

void ScreenModel::ScreenPlaceChar(std::uint8_t b) {
    const int row = cursorRow_;
    const int column = cursorColumn_;
    StoreAtCursor(b);
    if (++cursorColumn_ == kColumns) {
        if (options_.Wrap()) {
            cursorColumn_ = 0;
            ScreenMoveToRow(cursorRow_ + 1);
        } else {
            cursorColumn_ = kColumns - 1;
        }
    }
    display_.InvalidateCell(row, column);
}

void ScreenModel::ScreenWriteByte(std::uint8_t b) {
    switch (b) {
        case '\t':
            cursorColumn_ = std::min((cursorColumn_ / kTabWidth + 1) * kTabWidth, kColumns - 1);
            break;
        case '\n':
            ScreenMoveToRow(cursorRow_ + 1);
            break;
        case '\r':
            cursorColumn_ = 0;
            break;
        default:
            ScreenPlaceChar(b);
    }
}

void ScreenModel::ScreenWriteString(std::string_view s) {
    for (char c : s) ScreenWriteByte(static_cast<std::uint8_t>(c));
    Caret();
    display_.UpdateNow();
}

void ScreenModel::ScreenWriteSpaces(int count) {
    while (count > 0) {
        // Cells left of the last column take the spaces in one go; the last
        // column goes through ScreenPlaceChar, which knows about wrapping.
        const int run = std::min(count, kColumns - 1 - cursorColumn_);
        const int offset = (kFirstScreenRow + cursorRow_) * kColumns + cursorColumn_;
        std::memset(&ScreenMemory[offset], kSpace, run);
        std::memset(&ScreenMemory[kGridBytes + offset], currentAttribute_, run);
        for (int i = 0; i < run; ++i) display_.InvalidateCell(cursorRow_, cursorColumn_ + i);
        cursorColumn_ += run;
        count -= run;
        if (count > 0) {
            ScreenPlaceChar(kSpace);
            --count;
        }
    }
    Caret();
    display_.UpdateNow();
}

void ScreenModel::CopyScreenRow(int from, int to) {
    const int src = (kFirstScreenRow + from) * kColumns;
    const int dst = (kFirstScreenRow + to) * kColumns;
    std::memcpy(&ScreenMemory[dst], &ScreenMemory[src], kColumns);
    std::memcpy(&ScreenMemory[kGridBytes + dst], &ScreenMemory[kGridBytes + src], kColumns);
}

void ScreenModel::BlankScreenRow(int row) {
    const int offset = (kFirstScreenRow + row) * kColumns;
    BlankCells(offset, offset + kColumns);
}

void ScreenModel::BlankCells(int firstOffset, int endOffset) {
    std::memset(&ScreenMemory[firstOffset], kSpace, endOffset - firstOffset);
    std::memset(&ScreenMemory[kGridBytes + firstOffset], kAttrNormal, endOffset - firstOffset);
}

void ScreenModel::ScreenScrollUp(int count) {
    for (int n = 0; n < count; ++n) {
        if (regionTop_ == 1) {
            if (scrollOff_ != nullptr) scrollOff_->RowScrolledOff(CharRow(kFirstScreenRow));
            // The history and the region above the bottom row are contiguous in
            // both grids: one block copy per grid moves them all up a row.
            const int bytes = (kFirstScreenRow + regionBottom_ - 1) * kColumns;
            std::memmove(&ScreenMemory[0], &ScreenMemory[kColumns], bytes);
            std::memmove(&ScreenMemory[kGridBytes], &ScreenMemory[kGridBytes + kColumns], bytes);
        } else {
            for (int i = regionTop_ - 1; i <= regionBottom_ - 2; ++i) CopyScreenRow(i + 1, i);
        }
        BlankScreenRow(regionBottom_ - 1);
        InvalidateAndUpdate();
    }
}

void ScreenModel::ScreenScrollDown(int count) {
    for (int n = 0; n < count; ++n) {
        for (int i = regionBottom_ - 2; i >= regionTop_ - 1; --i) CopyScreenRow(i, i + 1);
        BlankScreenRow(regionTop_ - 1);
        InvalidateAndUpdate();
    }
}

void ScreenModel::ScreenMoveToRow(int target) {
    if (target < regionTop_ - 1) {
        ScreenScrollDown(1);
        target = std::max(target + 1, 0);
    }
    cursorRow_ = target;
    if (cursorRow_ >= regionBottom_) {
        ScreenScrollUp(1);
        cursorRow_ = regionBottom_ - 1;
    }
    Caret();
}

void ScreenModel::ScreenSetColumn(int column) {
    cursorColumn_ = ClampInt(column, 0, kColumns - 1);
    Caret();
}

int ScreenModel::ScreenColumn() {
    Caret();
    return cursorColumn_;
}

int ScreenModel::ScreenRow() {
    Caret();
    return cursorRow_;
}

void ScreenModel::ScreenUpdateCaret() {
    Caret();
}

void ScreenModel::ScreenDeleteChars(int count) {
    if (count < 0) return;
    const int n = std::min(std::max(count, 1), kColumns - cursorColumn_);
    const int rowOffset = (kFirstScreenRow + cursorRow_) * kColumns;
    const std::uint8_t tailAttribute = ScreenMemory[kGridBytes + rowOffset + kColumns - n];
    for (int i = cursorColumn_; i <= kColumns - 1 - n; ++i) {
        ScreenMemory[rowOffset + i] = ScreenMemory[rowOffset + i + n];
        ScreenMemory[kGridBytes + rowOffset + i] = ScreenMemory[kGridBytes + rowOffset + i + n];
    }
    std::memset(&ScreenMemory[rowOffset + kColumns - n], kSpace, n);
    std::memset(&ScreenMemory[kGridBytes + rowOffset + kColumns - n], tailAttribute, n);
    display_.InvalidateAll();
}

void ScreenModel::ScreenDeleteLines(int count) {
    if (count < 0) return;
    const int n = std::max(count, 1);
    // A count that reaches past the screen moves nothing, but the window is
    // still invalidated.
    if (n < kScreenRows - cursorRow_) {
        for (int i = cursorRow_; i <= kScreenRows - 1 - n; ++i) CopyScreenRow(i + n, i);
        for (int i = kScreenRows - n; i < kScreenRows; ++i) BlankScreenRow(i);
    }
    display_.InvalidateAll();
}

void ScreenModel::ScreenRepaint() {
    display_.InvalidateAll();
}

void ScreenModel::ScreenEraseAll() {
    BlankCells(0, kGridBytes);
    currentAttribute_ = kAttrNormal;
    display_.InvalidateAll();
    Caret();
}

void ScreenModel::ScreenEraseToCursor() {
    BlankCells(0, (kFirstScreenRow + cursorRow_) * kColumns + cursorColumn_);
    display_.InvalidateAll();
    Caret();
}

void ScreenModel::ScreenEraseFromCursor() {
    BlankCells((kFirstScreenRow + cursorRow_) * kColumns + cursorColumn_, kGridBytes);
    display_.InvalidateAll();
    Caret();
}

void ScreenModel::ScreenSetAttribute(int rendition) {
    switch (rendition) {
        case 1:
        case 4:  // underline is shown as bold
        case 5:  // and so is blink
            currentAttribute_ = kAttrBold;
            break;
        case 7:
            currentAttribute_ = kAttrReverse;
            break;
        default:
            currentAttribute_ = kAttrNormal;
    }
}

void ScreenModel::ScreenSetRegion(int top, int bottom) {
    // Bounds outside the screen are pulled onto it: every scroll and row move
    // relies on the region lying within rows 1-24.
    top = top == 0 ? 1 : ClampInt(top, 1, kScreenRows);
    bottom = bottom == 0 ? kScreenRows : ClampInt(bottom, 1, kScreenRows);
    regionTop_ = top;
    regionBottom_ = bottom;
    ScreenSetColumn(0);
    ScreenMoveToRow(bottom - 1);
}

void ScreenModel::ScreenAlignmentFill() {
    currentAttribute_ = kAttrNormal;
    std::memset(ScreenMemory.data(), 'E', kGridBytes);
    std::memset(ScreenMemory.data() + kGridBytes, kAttrNormal, kGridBytes);
    display_.InvalidateAll();
    Caret();
}

std::uint8_t ScreenModel::ScreenTranslateChar(std::uint8_t b) const {
    if (*activeSet_ == kCharsetPlain) return b;
    if (b >= 'j' && b <= 'n') return '+';
    if (b >= 'o' && b <= 's') return '-';
    if (b >= 't' && b <= 'x') return '|';
    return b;
}

}  // namespace quill
