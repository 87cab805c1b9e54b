#include "core/view/selection.h"

#include <algorithm>

#include "core/view/row_text.h"

namespace quill {

namespace {

// The buffer row that holds a line's text; outside the buffer for a line
// that left it or has not come yet.
int BufferRowOf(const ScreenView& screen, std::int64_t line) {
    const std::int64_t row = line - screen.LinesScrolled();
    return row < 0 || row >= screen.BufferRows() ? -1 : static_cast<int>(row);
}

std::span<const Cell> CellsOf(const ScreenView& screen, std::int64_t line) {
    const int row = BufferRowOf(screen, line);
    return row < 0 ? std::span<const Cell>{} : screen.Row(row);
}

bool Continues(const ScreenView& screen, std::int64_t line) {
    const int row = BufferRowOf(screen, line);
    return row >= 0 && screen.RowContinues(row);
}

bool WordCharacter(char32_t c) {
    if (c >= 0x80) return c != 0xA0;
    if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9')) {
        return true;
    }
    return Selection::kWordPunctuation.find(static_cast<char>(c)) != std::string_view::npos;
}

// Cells of one class make a word: word characters, blanks, or one other
// character repeated. The right half of a wide character is of its left
// half's class.
char32_t ClassAt(const ScreenView& screen, TextPoint at) {
    const std::span<const Cell> cells = CellsOf(screen, at.line);
    if (at.column >= static_cast<int>(cells.size())) return U' ';
    int column = at.column;
    if (column > 0 && cells[static_cast<std::size_t>(column)].Has(cell_flags::kWideRight)) {
        --column;
    }
    const char32_t c = cells[static_cast<std::size_t>(column)].Character();
    return WordCharacter(c) ? U'a' : c;
}

// The cell before or after one in reading order, within one line as the
// host wrote it: across a row's edge only where the next row continues it.
bool StepBack(const ScreenView& screen, TextPoint& at) {
    if (at.column > 0) {
        --at.column;
        return true;
    }
    if (!Continues(screen, at.line)) return false;
    at = {at.line - 1, screen.Geometry().columns - 1};
    return true;
}

bool StepForward(const ScreenView& screen, TextPoint& at) {
    if (at.column + 1 < screen.Geometry().columns) {
        ++at.column;
        return true;
    }
    if (!Continues(screen, at.line + 1)) return false;
    at = {at.line + 1, 0};
    return true;
}

// The cells without the blanks never written at their end: what is left of
// a row the next one continues (a wide character that did not fit leaves
// its last column so).
std::span<const Cell> WithoutUnwritten(std::span<const Cell> cells) {
    std::size_t length = cells.size();
    while (length > 0 && cells[length - 1].character == 0 &&
           !cells[length - 1].Has(cell_flags::kWideRight)) {
        --length;
    }
    return cells.first(length);
}

}  // namespace

Selection::Span Selection::UnitAround(const ScreenView& screen, TextPoint at) const {
    Span span{at, at};
    if (unit_ == SelectionUnit::kWord) {
        const char32_t wordClass = ClassAt(screen, at);
        for (TextPoint p = at; StepBack(screen, p) && ClassAt(screen, p) == wordClass;) {
            span.first = p;
        }
        for (TextPoint p = at; StepForward(screen, p) && ClassAt(screen, p) == wordClass;) {
            span.last = p;
        }
    } else if (unit_ == SelectionUnit::kLine) {
        span.first.column = 0;
        while (Continues(screen, span.first.line)) --span.first.line;
        span.last.column = screen.Geometry().columns - 1;
        while (Continues(screen, span.last.line + 1)) ++span.last.line;
    }
    return span;
}

void Selection::SelectionPress(const ScreenView& screen, TextPoint at, SelectionShape shape,
                               SelectionUnit unit) {
    shape_ = shape;
    unit_ = unit;
    anchor_ = UnitAround(screen, at);
    head_ = anchor_;
    selecting_ = true;
    marked_ = unit != SelectionUnit::kCell;
}

void Selection::SelectionExtend(const ScreenView& screen, TextPoint at) {
    if (!marked_) {
        SelectionPress(screen, at, shape_, SelectionUnit::kCell);
        return;
    }
    const TextPoint begin = Begin();
    const TextPoint end = End();
    const std::int64_t columns = screen.Geometry().columns;
    const auto place = [columns](TextPoint p) { return p.line * columns + p.column; };
    // The end farther from the cell stays.
    const bool nearerBegin = place(at) - place(begin) < place(end) - place(at);
    anchor_ = nearerBegin ? Span{end, end} : Span{begin, begin};
    head_ = UnitAround(screen, at);
    selecting_ = true;
}

void Selection::SelectionDrag(const ScreenView& screen, TextPoint at) {
    if (!selecting_) return;
    head_ = UnitAround(screen, at);
    marked_ = marked_ || at != anchor_.first;
}

TextPoint Selection::Begin() const {
    if (shape_ == SelectionShape::kRectangle) {
        return {std::min(anchor_.first.line, head_.first.line),
                std::min(anchor_.first.column, head_.first.column)};
    }
    return std::min(anchor_.first, head_.first);
}

TextPoint Selection::End() const {
    if (shape_ == SelectionShape::kRectangle) {
        return {std::max(anchor_.last.line, head_.last.line),
                std::max(anchor_.last.column, head_.last.column)};
    }
    return std::max(anchor_.last, head_.last);
}

MarkedColumns Selection::ColumnsOn(std::int64_t line, int columns) const {
    const TextPoint begin = Begin();
    const TextPoint end = End();
    if (!marked_ || line < begin.line || line > end.line) return {};
    if (shape_ == SelectionShape::kRectangle) {
        return {std::min(begin.column, columns), std::min(end.column + 1, columns)};
    }
    const int first = line == begin.line ? begin.column : 0;
    const int last = line == end.line ? end.column + 1 : columns;
    return {std::min(first, columns), std::min(last, columns)};
}

void Selection::ForgetChanged(const ScreenView& screen) {
    if (!marked_) return;
    const ScreenDamage& damage = screen.Damage();
    const std::int64_t firstScreenLine = screen.LinesScrolled() + screen.FirstScreenRow();
    const std::int64_t oldestInUse = firstScreenLine - screen.HistoryDepth();
    if (FirstLine() < screen.LinesScrolled()) {
        marked_ = false;  // rows gone from the buffer
    } else if (damage.all) {
        marked_ = LastLine() < firstScreenLine && FirstLine() >= oldestInUse;
    } else {
        for (std::size_t r = 0; r < damage.rows.size() && marked_; ++r) {
            const ScreenDamage::Columns& changed = damage.rows[r];
            if (changed.Empty()) continue;
            const MarkedColumns marked =
                ColumnsOn(firstScreenLine + static_cast<std::int64_t>(r), damage.width);
            marked_ = marked.Empty() || changed.end <= marked.first || marked.end <= changed.first;
        }
    }
    selecting_ = selecting_ && marked_;
}

std::string Selection::CopyText(const ScreenView& screen, std::string_view lineEnd) const {
    std::string text;
    if (!marked_) return text;
    const std::int64_t last = LastLine();
    for (std::int64_t line = FirstLine(); line <= last; ++line) {
        // The cells the row shows: half of them in a row of double size.
        const std::span<const Cell> cells = CellsOf(screen, line);
        if (cells.empty()) continue;
        const int columns = static_cast<int>(cells.size());
        MarkedColumns marked = ColumnsOn(line, columns);
        // A wide character marked by its right half comes whole.
        if (marked.first > 0 && marked.first < columns &&
            cells[static_cast<std::size_t>(marked.first)].Has(cell_flags::kWideRight)) {
            --marked.first;
        }
        const std::span<const Cell> part = cells.subspan(
            static_cast<std::size_t>(marked.first),
            static_cast<std::size_t>(std::max(marked.end - marked.first, 0)));
        const bool stream = shape_ == SelectionShape::kStream;
        if (stream && line < last && Continues(screen, line + 1)) {
            text += CellText(WithoutUnwritten(part), &screen);
            continue;
        }
        text += RowText(part, &screen);
        if (!stream || line < last || unit_ == SelectionUnit::kLine) text += lineEnd;
    }
    return text;
}

}  // namespace quill
