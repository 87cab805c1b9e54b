#include "ui/terminal/terminal_view.h"

#include <QBackingStore>
#include <QClipboard>
#include <QColor>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "ui/terminal/match_highlight.h"
#include "ui/terminal/preedit.h"
#include "ui/terminal/word_image.h"

namespace quill {

namespace {

constexpr int kCaretWidth = 2;
// The palette entries of the PC's default colours.
constexpr std::uint8_t kPcGrey = 7;
constexpr std::uint8_t kPcBlack = 0;

QColor ToColour(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Compared as bytes: this runs at every update request.
bool SamePalette(const Palette& a, const Palette& b) {
    static_assert(std::is_trivially_copyable_v<Palette> && sizeof(Palette) == 3 * Palette::kSize);
    return std::memcmp(&a, &b, sizeof(Palette)) == 0;
}

}  // namespace

TerminalView::TerminalView(Terminal& terminal, const TerminalFonts& fonts, Colours colours,
                           Clock clock, QWidget* parent)
    : QWidget(parent),
      terminal_(terminal),
      screen_(terminal.View()),
      fonts_(fonts),
      colours_(std::move(colours)),
      clock_(std::move(clock)),
      cellWidth_(fonts.CellWidth),
      cellHeight_(fonts.CellHeight),
      painter_(fonts),
      blit_(painter_, fonts.CellWidth, fonts.CellHeight),
      painted_(CurrentLook()) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // every row is painted opaque
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setAttribute(Qt::WA_InputMethodEnabled);  // dead keys, compose, IBus, Fcitx
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this, &TerminalView::PaintStale);
    blinkTimer_.setInterval(kBlinkMs);
    connect(&blinkTimer_, &QTimer::timeout, this, &TerminalView::Blink);
}

QSize TerminalView::sizeHint() const {
    const ScreenGeometry& grid = screen_.Geometry();
    return {grid.columns * cellWidth_, grid.screenRows * cellHeight_};
}

QRect TerminalView::CellRect(int row, int column) const {
    return {column * cellWidth_, row * cellHeight_, cellWidth_, cellHeight_};
}

// A row of double size shows its cells at twice the width.
int TerminalView::CellWidthOn(int windowRow) const {
    const int buffer = ViewTop() + windowRow;
    const bool single =
        buffer >= screen_.BufferRows() || screen_.RowLineSize(buffer) == LineSize::kSingle;
    return single ? cellWidth_ : 2 * cellWidth_;
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
    if (!terminal_.Damage().Clean()) emit ScreenChanged();
    if (!UpdatePending()) return;
    if (PaintedWithinFrame()) {
        ScheduleFrame();  // the frame tick paints at the end of the current frame
    } else {
        PaintStale();
    }
}

void TerminalView::PaintStale() {
    frameTimer_.stop();
    if (cursorDue_) MarkCursorStale();
    cursorDue_ = false;
    TakeDamage();
    const QRegion area = stale_;
    stale_ = QRegion();
    if (!area.isEmpty() && isVisible() && !PaintDirect(area)) {
        blitPending_ = false;
        repaint(area);
    }
    if (caretMoved_ && hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    caretMoved_ = false;
}

// The area goes straight into the window's backing store and on to the
// window system, without an update request through the top-level window, its
// event filters and the widget repaint machinery. Where that machinery still
// has pixels to show (what a blit moved) or another widget lies over the
// view, or the window is not on screen, it does the whole paint instead.
// Only the view's own pixels are touched: a grid wider than a window cut to
// the screen does not reach over the scroll bar.
bool TerminalView::PaintDirect(const QRegion& stale) {
    QWidget* top = window();
    QBackingStore* store = backingStore();
    QWindow* handle = top->windowHandle();
    if (blitPending_ || store == nullptr || handle == nullptr || !handle->isExposed() ||
        !updatesEnabled() || Covered())
        return false;
    const QRegion area = stale & rect();
    if (area.isEmpty()) return true;
    const QPoint offset = mapTo(top, QPoint(0, 0));
    const QRegion target = area.translated(offset);
    store->beginPaint(target);
    if (!BlitCells(*store->paintDevice(), offset, area)) {
        QPainter painter(store->paintDevice());
        painter.translate(offset);
        // A rectangle clips at a fraction of a region's cost.
        if (area.rectCount() == 1) {
            painter.setClipRect(area.boundingRect());
        } else {
            painter.setClipRegion(area);
        }
        DisplayPaint(painter, area);
    }
    store->endPaint();
    if (!PutOnWindow(*handle, *store, target)) store->flush(target, handle);
    return true;
}

// Where nothing but cells and the caret lies in the area (no selection,
// find mark, link underline or pre-edit), the cells' pixels are copied in
// and the caret inverted, without a painter.
bool TerminalView::BlitCells(QPaintDevice& device, QPoint offset, const QRegion& area) {
    if (device.devType() != QInternal::Image || selection_.MarksCells() || !findMatches_.empty() ||
        linkUnderline_ || !preedit_.isEmpty())
        return false;
    auto& image = static_cast<QImage&>(device);
    const int rows = ShownRows();
    const BlitLook look{painted_.dialect, ToColour(colours_.text()).rgb(),
                        ToColour(colours_.background()).rgb(), ShownCellLook()};
    if (!blit_.Paint(image, offset, area, screen_, ViewTop(), rows, look)) return false;
    if (CaretDrawn()) {
        for (const QRect& edge : CaretEdges()) {
            for (const QRect& part : area & edge) InvertPixels(image, part.translated(offset));
        }
    }
    ++copiedPaints_;
    FinishPaint(area, rows);
    return true;
}

// Straight onto an X11 window where the store's image allows it.
bool TerminalView::PutOnWindow(QWindow& handle, QBackingStore& store, const QRegion& area) {
    QPaintDevice* device = store.paintDevice();
    if (device->devType() != QInternal::Image) return false;
    const auto& image = *static_cast<const QImage*>(device);
    if (!IsWordImage(image)) return false;
    if (windowPutFor_ != handle.winId()) {
        windowPutFor_ = handle.winId();
        windowPut_ = X11WindowPut::For(handle);
    }
    return windowPut_ != nullptr && windowPut_->Put(image, area);
}

// Whether a widget of the same window is drawn over part of the view: a
// child of it, or one stacked above it or above one of its parents.
bool TerminalView::Covered() const {
    const QWidget* top = window();
    const QRect mine(mapTo(top, QPoint(0, 0)), size());
    const auto over = [&](const QObject* object) {
        if (!object->isWidgetType()) return false;
        const auto* widget = static_cast<const QWidget*>(object);
        if (widget->isWindow() || !widget->isVisible()) return false;
        return QRect(widget->mapTo(top, QPoint(0, 0)), widget->size()).intersects(mine);
    };
    const QObjectList& own = children();
    if (std::any_of(own.begin(), own.end(), over)) return true;
    for (const QWidget* w = this; !w->isWindow(); w = w->parentWidget()) {
        const QObjectList& siblings = w->parentWidget()->children();
        const auto above = std::find(siblings.begin(), siblings.end(), w) + 1;
        if (std::any_of(above, siblings.end(), over)) return true;
    }
    return false;
}

// The rows a window can show: the screen's, and one more at the snapped
// bottom edge.
int TerminalView::PaintableRows() const {
    return screen_.Geometry().screenRows + 1;
}

// Of those, the rows the buffer has from the view's top on.
int TerminalView::ShownRows() const {
    return std::min(PaintableRows(), screen_.BufferRows() - ViewTop());
}

TerminalView::Look TerminalView::CurrentLook() const {
    return {screen_.InForce(), screen_.ReverseScreen(), ShownPalette()};
}

bool TerminalView::LookChanged() const {
    return painted_.dialect != screen_.InForce() ||
           painted_.reverseScreen != screen_.ReverseScreen() ||
           !SamePalette(painted_.palette, ShownPalette());
}

// The BBS terminal shows the PC's colours; the host cannot change them.
const Palette& TerminalView::ShownPalette() const {
    if (screen_.InForce() == DialectId::kBbs) return Palette::Pc();
    return screen_.Colours();
}

// The terminal's damage becomes stale window rows. Rows that scrolled are
// moved with one blit and only the rows that changed are painted again.
void TerminalView::TakeDamage() {
    if (LookChanged()) {
        painted_ = CurrentLook();
        stale_ |= rect();
    }
    const ScreenDamage& damage = terminal_.Damage();
    if (damage.Clean()) return;
    const int top = screen_.FirstScreenRow() - ViewTop();  // the window row of screen row 0
    const int paintable = PaintableRows();
    if (damage.all || (damage.history && top != 0)) {
        stale_ |= rect();
    } else {
        if (damage.scrolled > 0) BlitRows(damage.scrolled, top + damage.scrollEnd);
        for (int r = 0; r < static_cast<int>(damage.rows.size()); ++r) {
            const ScreenDamage::Columns& columns = damage.rows[static_cast<std::size_t>(r)];
            if (columns.Empty() || top + r >= paintable) continue;
            const int width = CellWidthOn(top + r);
            stale_ |= QRect(columns.first * width, (top + r) * cellHeight_,
                            (columns.end - columns.first) * width, cellHeight_);
        }
    }
    // Marks whose cells changed go, and so does their highlight.
    const QRegion highlight = HighlightArea();
    selection_.ForgetChanged(screen_);
    if (!selection_.MarksCells()) stale_ |= highlight;
    terminal_.ClearDamage();
}

// Window rows 0 to end - 1 show text that moved `shift` rows up (down when
// negative). Their pixels move with it; the rows that come into the range,
// and the caret, selection and pre-edit drawn over the pixels, are painted
// again.
void TerminalView::BlitRows(int shift, int end) {
    end = std::min(end, PaintableRows());
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
    blitPending_ = true;
    const QRegion moved = (stale_ | overlays) & range;
    stale_ = (stale_ - range) | moved.translated(0, dy) | overlays;
    stale_ |= shift > 0 ? WindowRows(end - shift, end) : WindowRows(0, -shift);
}

QRegion TerminalView::Overlays() const {
    QRegion area = HighlightArea();
    if (caretShown_) area |= CaretArea();
    if (!preedit_.isEmpty()) area |= PreeditArea(preedit_, CursorCell(), fonts_);
    return area;
}

// Once per block: its cell is painted again at the next paint even where it
// stands, since the host may have hidden or shown it. The update request that
// follows decides when: no frame tick is armed for it here. Of the cells it
// left, only the one a paint drew it in goes stale: the cells it passes
// between two paints never had its pixels, and in a flood they would make the
// stale area a region of hundreds of rectangles.
void TerminalView::SetCaretPos(int row, int column) {
    if (!caretFollows_) return;
    if (cursorDrawn_) MarkCursorStale();
    cursorDrawn_ = false;
    cursorDue_ = true;
    caretMoved_ = caretMoved_ || row != caretRow_ || column != caretColumn_;
    caretRow_ = row;
    caretColumn_ = column;
}

// The caret and a pre-edit text are drawn at the cursor.
void TerminalView::MarkCursorStale() {
    if (caretShown_) stale_ += CaretArea();
    if (!preedit_.isEmpty()) stale_ += PreeditArea(preedit_, CursorCell(), fonts_);
}

// Where the terminal keeps a history of its own (not the plain one) the
// caret goes down with its row while the view is scrolled back, and out of
// sight with it.
QRect TerminalView::CaretCell() const {
    const int row = caretRow_ + (painted_.dialect != DialectId::kPlain ? rowsBack_ : 0);
    const int width = CellWidthOn(row);
    return {caretColumn_ * width, row * cellHeight_, width, cellHeight_};
}

// The plain and the BBS terminal's caret is a bar at the cell's left; the
// extended terminal's takes the shape its host chose, a block unless it asked for
// another, and a hollow block while the window does not have the keyboard.
QRect TerminalView::CaretRect() const {
    const QRect cell = CaretCell();
    if (painted_.dialect != DialectId::kExtended) {
        return cell.adjusted(0, 0, kCaretWidth - cellWidth_, 0);
    }
    if (!caretFocused_) return cell;
    switch (screen_.Cursor().shape) {
        case CursorShape::kUnderline:
            return cell.adjusted(0, cellHeight_ - kCaretWidth, 0, 0);
        case CursorShape::kBar:
            return cell.adjusted(0, 0, kCaretWidth - cellWidth_, 0);
        case CursorShape::kBlock:
            break;
    }
    return cell;
}

// What a change of the caret paints again: in the extended terminal the
// whole cell, since the host may change the shape between two paints.
QRect TerminalView::CaretArea() const {
    return painted_.dialect == DialectId::kExtended ? CaretCell() : CaretRect();
}

void TerminalView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    DisplayPaint(painter, event->region());
}

// Each row the area touches is painted once, runs of such rows together.
void TerminalView::DisplayPaint(QPainter& painter, const QRegion& area) {
    const int rows = ShownRows();
    touched_.assign(static_cast<std::size_t>(rows) + 1, false);
    for (const QRect& band : area) {
        const int end = std::min((band.top() + band.height() - 1) / cellHeight_ + 1, rows);
        for (int r = std::max(band.top() / cellHeight_, 0); r < end; ++r)
            touched_[static_cast<std::size_t>(r)] = true;
    }
    for (int first = 0; first < rows;) {
        int end = first;
        while (touched_[static_cast<std::size_t>(end)]) ++end;
        if (end > first) PaintRows(painter, first, end);
        first = end + 1;
    }
    InvertOverlays(painter);
    PaintMatchesAndLink(painter, rows);
    PaintPreedit(painter, preedit_, CursorCell(), fonts_, ToColour(colours_.text()),
                 ToColour(colours_.background()));
    FinishPaint(area, rows);
}

void TerminalView::FinishPaint(const QRegion& area, int rows) {
    cursorDrawn_ = true;
    FollowBlink(rows);
    ++paintCount_;
    lastPaintArea_ = area;
    lastPaint_ = clock_();
}

void TerminalView::PaintRows(QPainter& painter, int first, int end) {
    if (painted_.dialect == DialectId::kPlain) {
        painter_.PaintPlain(painter, screen_, ViewTop(), first, end, width(),
                            ToColour(colours_.text()), ToColour(colours_.background()));
    } else {
        painter_.PaintExtended(painter, screen_, ViewTop(), first, end, width(), ShownCellLook());
    }
}

// The BBS terminal's default colours are the PC's, light grey on black,
// whatever the user's are.
CellLook TerminalView::ShownCellLook() const {
    if (painted_.dialect == DialectId::kBbs) {
        return {painted_.palette, ToColour(painted_.palette.Colour(kPcGrey)),
                ToColour(painted_.palette.Colour(kPcBlack)), false, true, blinkHidden_};
    }
    return {painted_.palette,       ToColour(colours_.text()), ToColour(colours_.background()),
            painted_.reverseScreen, colours_.boldBright,       blinkHidden_};
}

// Whether a window row shows blinking text (the row below the screen
// shows nothing in the extended terminal).
bool TerminalView::RowBlinks(int row) const {
    const int buffer = ViewTop() + row;
    if (buffer >= screen_.BufferRows() - 1) return false;
    const std::span<const Cell> cells = screen_.Row(buffer);
    return std::any_of(cells.begin(), cells.end(),
                       [](const Cell& cell) { return cell.Has(cell_flags::kBlink); });
}

// After a paint: the blink ticks while any of the window's rows blinks (the
// plain terminal shows blink as bold), and stops (with the text shown) once
// none does, so an idle window without blinking text never wakes.
void TerminalView::FollowBlink(int rows) {
    bool blinks = CaretBlinks();
    for (int r = 0; painted_.dialect != DialectId::kPlain && r < rows && !blinks; ++r) {
        blinks = RowBlinks(r);
    }
    if (blinks && !blinkTimer_.isActive()) blinkTimer_.start();
    if (!blinks) {
        blinkTimer_.stop();
        blinkHidden_ = false;
    }
}

// One half of the blink: the rows with blinking text, and a blinking
// caret, are painted again.
void TerminalView::Blink() {
    blinkHidden_ = !blinkHidden_;
    if (CaretBlinks()) MarkStale(CaretArea());
    const int rows = ShownRows();
    for (int r = 0; r < rows; ++r) {
        if (RowBlinks(r)) MarkStale(WindowRows(r, r + 1));
    }
}

// The caret shows while the window has it (in the extended terminal also
// without it, hollow), unless the extended terminal's host has hidden the
// cursor or it is in the off half of its blink.
bool TerminalView::CaretDrawn() const {
    if (!caretShown_) return false;
    if (painted_.dialect == DialectId::kPlain) return caretFocused_;
    return screen_.CursorVisible() &&
           caretRow_ + rowsBack_ < screen_.Geometry().screenRows &&
           !(CaretBlinks() && blinkHidden_);
}

// A cursor the host asked to blink blinks while the window has the keyboard.
bool TerminalView::CaretBlinks() const {
    return caretShown_ && caretFocused_ && painted_.dialect == DialectId::kExtended &&
           screen_.Cursor().blinks;
}

// What the caret inverts: its rectangle, or for a hollow block its cell's
// outline, four edges that do not overlap.
TerminalView::CaretShape TerminalView::CaretEdges() const {
    const QRect r = CaretRect();
    if (caretFocused_ || painted_.dialect != DialectId::kExtended) return {{r}, 1};
    return {{QRect(r.left(), r.top(), r.width(), 1), QRect(r.left(), r.bottom(), r.width(), 1),
             QRect(r.left(), r.top() + 1, 1, r.height() - 2),
             QRect(r.right(), r.top() + 1, 1, r.height() - 2)},
            4};
}

// The caret and the selection highlight invert what lies under them.
void TerminalView::InvertOverlays(QPainter& painter) {
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    if (CaretDrawn()) {
        for (const QRect& edge : CaretEdges()) painter.fillRect(edge, Qt::white);
    }
    for (const QRect& band : HighlightArea()) painter.fillRect(band, Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// The marked cells of the rows on display; the marks go with their text.
QRegion TerminalView::HighlightArea() const {
    QRegion area;
    if (!selection_.MarksCells()) return area;
    const std::int64_t top = LineAt(0);
    const int rows = ShownRows();
    for (int r = 0; r < rows; ++r) {
        const auto columns = static_cast<int>(screen_.Row(ViewTop() + r).size());
        const MarkedColumns marked = selection_.ColumnsOn(top + r, columns);
        if (marked.Empty()) continue;
        const int width = CellWidthOn(r);
        area |= QRect(marked.first * width, r * cellHeight_, (marked.end - marked.first) * width,
                      cellHeight_);
    }
    return area;
}

std::int64_t TerminalView::LineAt(int windowRow) const {
    return screen_.LinesScrolled() + ViewTop() + windowRow;
}

// The view shows buffer rows 1 and on; 0 is never shown.
void TerminalView::DisplaySetViewTop(int top) {
    const int live = screen_.FirstScreenRow();
    top = std::clamp(top, TopmostViewTop(), live);
    if (top != ViewTop()) {
        TakeDamage();  // the damage is in the rows the old view top showed
        BlitRows(top - ViewTop(), PaintableRows());
        rowsBack_ = live - top;
    }
    if (scrollBar_ != nullptr) scrollBar_->setValue(ViewTop());
    if (!stale_.isEmpty()) ScheduleFrame();
}

void TerminalView::DisplayReturnToLive() {
    if (rowsBack_ != 0) DisplaySetViewTop(screen_.FirstScreenRow());
}

void TerminalView::CaretOn() {
    caretFollows_ = true;
    caretShown_ = caretFocused_ = true;
    SetCaretPos(screen_.CursorRow(), screen_.CursorColumn());
    ScheduleFrame();
    setFocus(Qt::ActiveWindowFocusReason);
}

void TerminalView::CaretOff() {
    if (caretShown_) MarkStale(CaretArea());
    caretFocused_ = false;
    if (terminal_.Extended()) return;  // the hollow block goes on following the cursor
    caretShown_ = false;
    caretFollows_ = false;
}

// The find bar's matches and the link under the pointer, at each row's cell
// width.
void TerminalView::PaintMatchesAndLink(QPainter& painter, int rows) {
    if (findMatches_.empty() && !linkUnderline_) return;
    rowCellWidths_.resize(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) rowCellWidths_[static_cast<std::size_t>(r)] = CellWidthOn(r);
    const MatchWindow window{screen_.LinesScrolled() + ViewTop(), rows,
                             screen_.Geometry().columns * cellWidth_, cellHeight_, rowCellWidths_};
    PaintMatchHighlights(painter, findMatches_, findCurrent_, window);
    if (linkUnderline_) {
        PaintLinkUnderline(painter, *linkUnderline_, ToColour(colours_.text()), window);
    }
}

// The cell under a point of the window, held within the cells its row shows
// (half the columns in a row of double width) and the rows the window shows
// (the spare row too, where the window reaches it): past an edge (on the
// scroll bar, below the window), the cell at that edge.
WindowCell TerminalView::CellAt(int x, int y) const {
    const int shownRows =
        std::clamp((height() + cellHeight_ - 1) / cellHeight_, 1, PaintableRows());
    const int row = std::clamp(y / cellHeight_, 0, shownRows - 1);
    const int width = CellWidthOn(row);
    const int columns = screen_.Geometry().columns / (width / cellWidth_);
    return {row, std::clamp(x / width, 0, columns - 1)};
}

TextPoint TerminalView::TextPointAt(int x, int y) const {
    const WindowCell cell = CellAt(x, y);
    return {LineAt(cell.row), cell.column};
}

// The plain terminal marks rectangles of cells only. Output that came before
// the press and still waits for its frame is taken first: it changed the
// cells before they were marked, so it must not take the new marks away.
void TerminalView::SelectionPress(int x, int y, SelectionGesture gesture) {
    TakeDamage();
    MarkStale(HighlightArea());
    const TextPoint at = TextPointAt(x, y);
    if (!terminal_.Extended()) {
        selection_.SelectionPress(screen_, at, SelectionShape::kRectangle, SelectionUnit::kCell);
    } else if (gesture.extend) {
        selection_.SelectionExtend(screen_, at);
    } else {
        const SelectionUnit unit = gesture.clicks >= 3   ? SelectionUnit::kLine
                                   : gesture.clicks == 2 ? SelectionUnit::kWord
                                                         : SelectionUnit::kCell;
        selection_.SelectionPress(
            screen_, at, gesture.rectangle ? SelectionShape::kRectangle : SelectionShape::kStream,
            unit);
    }
    MarkStale(HighlightArea());
}

void TerminalView::SelectionDrag(int x, int y) {
    if (!selection_.Selecting()) return;
    MarkStale(HighlightArea());
    selection_.SelectionDrag(screen_, TextPointAt(x, y));
    MarkStale(HighlightArea());
}

void TerminalView::SelectionRelease() {
    selection_.SelectionRelease();
}

QString TerminalView::SelectedText() const {
#ifdef Q_OS_WIN
    constexpr std::string_view kLineEnd = "\r\n";
#else
    constexpr std::string_view kLineEnd = "\n";
#endif
    const std::string text = selection_.CopyText(screen_, kLineEnd);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void TerminalView::CopySelection() {
    if (!selection_.MarksCells()) return;
    QGuiApplication::clipboard()->setText(SelectedText());
    MarkStale(HighlightArea());
    selection_.Clear();
}

void TerminalView::CopyToSelectionClipboard() {
    QClipboard& clipboard = *QGuiApplication::clipboard();
    if (!clipboard.supportsSelection() || !selection_.MarksCells()) return;
    clipboard.setText(SelectedText(), QClipboard::Selection);
}

QString TerminalView::ClipboardText(QClipboard::Mode mode) {
    const QString text = QGuiApplication::clipboard()->text(mode);
    return text.left(text.indexOf(QChar(0)));
}

QRect TerminalView::CursorCell() const {
    return CellRect(caretRow_, caretColumn_);
}

void TerminalView::SetFindMatches(std::span<const SearchMatch> matches,
                                  std::optional<std::size_t> current) {
    if (findMatches_.empty() && matches.empty()) return;
    findMatches_.assign(matches.begin(), matches.end());
    findCurrent_ = current;
    InvalidateAll();
    UpdateNow();
}

void TerminalView::SetLinkUnderline(std::optional<SearchMatch> link) {
    if (link == linkUnderline_) return;
    linkUnderline_ = link;
    InvalidateAll();
    UpdateNow();
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
