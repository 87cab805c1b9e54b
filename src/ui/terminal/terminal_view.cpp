#include "ui/terminal/terminal_view.h"

#include <QClipboard>
#include <QColor>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointF>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cstdlib>

#include "ui/terminal/preedit.h"

namespace quill {

namespace {

constexpr int kCaretWidth = 2;
// The rows a window can show: 24, and one more at the snapped bottom edge.
constexpr int kPaintableRows = kScreenRows + 1;

QColor ToColour(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

TerminalView::TerminalView(Terminal& terminal, const TerminalFonts& fonts, Colours colours,
                           Clock clock, QWidget* parent)
    : QWidget(parent),
      terminal_(terminal),
      screen_(terminal.Screen()),
      fonts_(fonts),
      colours_(std::move(colours)),
      clock_(std::move(clock)),
      cellWidth_(fonts.CellWidth),
      cellHeight_(fonts.CellHeight),
      rowText_(kColumns, QLatin1Char(' ')),
      cellText_(1, QLatin1Char(' ')),
      selection_(fonts.CellWidth, fonts.CellHeight) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // every row is painted opaque
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setAttribute(Qt::WA_InputMethodEnabled);  // dead keys, compose, IBus, Fcitx
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this, &TerminalView::PaintStale);
}

QSize TerminalView::sizeHint() const {
    return {kColumns * cellWidth_, kScreenRows * cellHeight_};
}

QRect TerminalView::CellRect(int row, int column) const {
    return {column * cellWidth_, row * cellHeight_, cellWidth_, cellHeight_};
}

QRect TerminalView::WindowRows(int first, int end) const {
    return {0, first * cellHeight_, width(), (end - first) * cellHeight_};
}

void TerminalView::InvalidateCell(int row, int column) {
    MarkStale(CellRect(row, column));
}

void TerminalView::InvalidateAll() {
    MarkStale(rect());
}

void TerminalView::MarkStale(const QRegion& area) {
    stale_ |= area;
    ScheduleFrame();
}

void TerminalView::ScheduleFrame() {
    if (frameTimer_.isActive()) return;
    frameTimer_.start(static_cast<int>(std::max<std::int64_t>(0, kFrameMs - SincePaint().count())));
}

// A view that has never painted is a whole frame past its last paint.
std::chrono::milliseconds TerminalView::SincePaint() const {
    if (!lastPaint_) return std::chrono::milliseconds(kFrameMs);
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - *lastPaint_);
}

void TerminalView::UpdateNow() {
    if (!UpdatePending()) return;
    if (PaintedWithinFrame()) {
        ScheduleFrame();  // the frame tick paints at the end of the current frame
    } else {
        PaintStale();
    }
}

void TerminalView::PaintStale() {
    frameTimer_.stop();
    TakeDamage();
    const QRegion area = stale_;
    stale_ = QRegion();
    if (!area.isEmpty() && isVisible()) repaint(area);
    if (caretMoved_ && hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    caretMoved_ = false;
}

// The terminal's damage becomes stale window rows. Rows that scrolled are
// moved with one blit and only the rows that changed are painted again.
void TerminalView::TakeDamage() {
    const ScreenDamage& damage = terminal_.Damage();
    if (damage.Clean()) return;
    const int top = screen_.FirstScreenRow() - viewTop_;  // the window row of screen row 0
    if (damage.all || (damage.history && viewTop_ != kLiveViewTop)) {
        stale_ |= rect();
    } else {
        if (damage.scrolled > 0) BlitRows(damage.scrolled, top + damage.scrollEnd);
        for (int r = 0; r < static_cast<int>(damage.rows.size()); ++r) {
            const ScreenDamage::Columns& columns = damage.rows[static_cast<std::size_t>(r)];
            if (columns.Empty() || top + r >= kPaintableRows) continue;
            stale_ |= QRect(columns.first * cellWidth_, (top + r) * cellHeight_,
                            (columns.end - columns.first) * cellWidth_, cellHeight_);
        }
    }
    terminal_.ClearDamage();
}

// Window rows 0 to end - 1 show text that moved `shift` rows up (down when
// negative). Their pixels move with it; the rows that come into the range,
// and the caret, selection and pre-edit drawn over the pixels, are painted
// again.
void TerminalView::BlitRows(int shift, int end) {
    end = std::min(end, kPaintableRows);
    if (end <= 0 || shift == 0) return;
    const QRect range = WindowRows(0, end);
    if (std::abs(shift) >= end || !isVisible()) {
        stale_ |= range;
        return;
    }
    const int dy = -shift * cellHeight_;
    const QRegion overlays = Overlays();
    scroll(0, dy, range);
    ++blitCount_;
    const QRegion moved = (stale_ | overlays) & range;
    stale_ = (stale_ - range) | moved.translated(0, dy) | overlays;
    stale_ |= shift > 0 ? WindowRows(end - shift, end) : WindowRows(0, -shift);
}

QRegion TerminalView::Overlays() const {
    QRegion area = HighlightRect();
    if (caretShown_) area |= CaretRect();
    if (!preedit_.isEmpty()) area |= PreeditArea(preedit_, CursorCell(), fonts_);
    return area;
}

void TerminalView::SetCaretPos(int row, int column) {
    MarkCursorStale();
    caretMoved_ = caretMoved_ || row != caretRow_ || column != caretColumn_;
    caretRow_ = row;
    caretColumn_ = column;
    MarkCursorStale();
}

// The caret and a pre-edit text are drawn at the cursor.
void TerminalView::MarkCursorStale() {
    if (caretShown_) MarkStale(CaretRect());
    if (!preedit_.isEmpty()) MarkStale(PreeditArea(preedit_, CursorCell(), fonts_));
}

QRect TerminalView::CaretRect() const {
    return {caretColumn_ * cellWidth_, caretRow_ * cellHeight_, kCaretWidth, cellHeight_};
}

void TerminalView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    DisplayPaint(painter, event->region());
}

// Each row the area touches is painted once, runs of such rows together.
void TerminalView::DisplayPaint(QPainter& painter, const QRegion& area) {
    const int rows = std::min(kPaintableRows, kBufferRows - viewTop_);
    std::array<bool, kPaintableRows + 1> touched{};
    for (const QRect& band : area) {
        const int end = std::min((band.top() + band.height() - 1) / cellHeight_ + 1, rows);
        for (int r = std::max(band.top() / cellHeight_, 0); r < end; ++r)
            touched[static_cast<std::size_t>(r)] = true;
    }
    for (int first = 0; first < rows;) {
        int end = first;
        while (touched[static_cast<std::size_t>(end)]) ++end;
        if (end > first) {
            PaintRows(painter, first, end);
            PaintBoldCells(painter, first, end);
            InvertReverseCells(painter, first, end);
        }
        first = end + 1;
    }
    InvertOverlays(painter);
    PaintPreedit(painter, preedit_, CursorCell(), fonts_, ToColour(colours_.text()),
                 ToColour(colours_.background()));
    ++paintCount_;
    lastPaintArea_ = area;
    lastPaint_ = clock_();
}

// One opaque text run per row in the normal font.
void TerminalView::PaintRows(QPainter& painter, int first, int end) {
    painter.fillRect(0, first * cellHeight_, width(), (end - first) * cellHeight_,
                     ToColour(colours_.background()));
    painter.setPen(ToColour(colours_.text()));
    painter.setFont(fonts_.fonts[TerminalFonts::kNormal]);
    QChar* text = rowText_.data();
    for (int i = first; i < end; ++i) {
        const int row = viewTop_ + i;
        for (int c = 0; c < kColumns; ++c)
            text[c] = QLatin1Char(static_cast<char>(screen_.CharAt(row, c)));
        painter.drawText(QPointF(0, i * cellHeight_ + fonts_.ascent), rowText_);
    }
}

// Bold cells are drawn again, one character each, over the normal glyph.
void TerminalView::PaintBoldCells(QPainter& painter, int first, int end) {
    const QColor background = ToColour(colours_.background());
    painter.setFont(fonts_.fonts[TerminalFonts::kBold]);
    for (int i = first; i < end; ++i) {
        const int row = viewTop_ + i;
        for (int c = 0; c < kColumns; ++c) {
            if (screen_.AttrAt(row, c) != kAttrBold) continue;
            painter.fillRect(CellRect(i, c), background);
            cellText_[0] = QLatin1Char(static_cast<char>(screen_.CharAt(row, c)));
            painter.drawText(QPointF(c * cellWidth_, i * cellHeight_ + fonts_.ascent), cellText_);
        }
    }
}

// Reverse video is the pixel inverse of the normal drawing; each run of
// reverse cells in a row is inverted in one go.
void TerminalView::InvertReverseCells(QPainter& painter, int first, int end) {
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    for (int i = first; i < end; ++i) {
        const int row = viewTop_ + i;
        int c = 0;
        while (c < kColumns) {
            if (screen_.AttrAt(row, c) != kAttrReverse) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < kColumns && screen_.AttrAt(row, c) == kAttrReverse) ++c;
            painter.fillRect(start * cellWidth_, i * cellHeight_, (c - start) * cellWidth_,
                             cellHeight_, Qt::white);
        }
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// The caret and the selection highlight invert what lies under them.
void TerminalView::InvertOverlays(QPainter& painter) {
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    if (caretShown_) painter.fillRect(CaretRect(), Qt::white);
    const QRect highlight = HighlightRect();
    if (!highlight.isEmpty()) painter.fillRect(highlight, Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// A rectangle dragged up or to the left of its press point marks no cells,
// so it shows no highlight.
QRect TerminalView::HighlightRect() const {
    const SelectionRect& r = selection_.Rect();
    if (r.right <= r.left || r.bottom <= r.top) return {};
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

void TerminalView::DisplaySetViewTop(int top) {
    top = std::clamp(top, 1, kLiveViewTop);
    if (top != viewTop_) {
        TakeDamage();  // the damage is in the rows the old view top showed
        BlitRows(top - viewTop_, kPaintableRows);
        viewTop_ = top;
    }
    if (scrollBar_ != nullptr) scrollBar_->setValue(viewTop_);
    if (!stale_.isEmpty()) ScheduleFrame();
}

void TerminalView::DisplayReturnToLive() {
    if (viewTop_ != kLiveViewTop) DisplaySetViewTop(kLiveViewTop);
}

void TerminalView::CaretOn() {
    terminal_.SetCaretVisible(true);
    caretShown_ = true;
    SetCaretPos(screen_.CursorRow(), screen_.CursorColumn());
    setFocus(Qt::ActiveWindowFocusReason);
}

void TerminalView::CaretOff() {
    if (caretShown_) MarkStale(CaretRect());
    caretShown_ = false;
    terminal_.SetCaretVisible(false);
}

void TerminalView::SelectionPress(int x, int y) {
    MarkStale(HighlightRect());
    selection_.SelectionPress(x, y);
}

void TerminalView::SelectionDrag(int x, int y) {
    if (!selection_.Selecting()) return;
    MarkStale(HighlightRect());
    selection_.SelectionDrag(x, y);
    MarkStale(HighlightRect());
}

void TerminalView::SelectionRelease() {
    selection_.SelectionRelease();
}

QString TerminalView::SelectedText() const {
    const std::string text = selection_.CopyText(screen_, viewTop_);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void TerminalView::CopySelection() {
    if (selection_.Rect().Empty()) return;
    QGuiApplication::clipboard()->setText(SelectedText());
    MarkStale(HighlightRect());
    selection_.Clear();
}

void TerminalView::CopyToSelectionClipboard() {
    QClipboard& clipboard = *QGuiApplication::clipboard();
    if (!clipboard.supportsSelection() || HighlightRect().isEmpty()) return;
    clipboard.setText(SelectedText(), QClipboard::Selection);
}

QString TerminalView::ClipboardText(QClipboard::Mode mode) {
    const QString text = QGuiApplication::clipboard()->text(mode);
    return text.left(text.indexOf(QChar(0)));
}

QRect TerminalView::CursorCell() const {
    return CellRect(caretRow_, caretColumn_);
}

void TerminalView::SetPreedit(const QString& preedit) {
    if (preedit == preedit_) return;
    MarkStale(PreeditArea(preedit_, CursorCell(), fonts_));
    preedit_ = preedit;
    MarkStale(PreeditArea(preedit_, CursorCell(), fonts_));
}

QVariant TerminalView::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
        case Qt::ImEnabled:
            return true;
        case Qt::ImCursorRectangle:
            return CursorCell();
        case Qt::ImFont:
            return fonts_.fonts[TerminalFonts::kNormal];
        case Qt::ImHints:
            // What is typed goes to the host as it is: no guessing, no capitals.
            return static_cast<int>(Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
        default:
            return QWidget::inputMethodQuery(query);
    }
}

}  // namespace quill
