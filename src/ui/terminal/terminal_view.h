#pragma once

#include <QClipboard>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/engine/terminal.h"
#include "core/interfaces/display_sink.h"
#include "core/interfaces/palette.h"
#include "core/interfaces/rgb.h"
#include "core/interfaces/screen_view.h"
#include "core/search/scrollback_search.h"
#include "core/view/selection.h"
#include "ui/terminal/cell_blit.h"
#include "ui/terminal/row_painter.h"
#include "ui/terminal/terminal_fonts.h"
#include "ui/terminal/x11_window_put.h"

class QBackingStore;
class QPaintDevice;
class QPainter;
class QScrollBar;

namespace quill {

// A cell of the window: its row (0 the window's first) and column.
struct WindowCell {
    int row = 0;
    int column = 0;
};

// How the left button went down: the clicks in a row (2 marks a word, 3 a
// line), Alt for a rectangle, Shift to extend the selection.
struct SelectionGesture {
    int clicks = 1;
    bool rectangle = false;
    bool extend = false;
};

// The terminal's client area: paints the grid the screen model has, whatever
// its size, keeps the scroll-back view,
// draws the caret and the selection highlight, and copies and pastes. Its
// input events (keys, mouse, wheel) go to the main window's handlers, which
// call the operations below.
class TerminalView final : public QWidget, public DisplaySink {
    Q_OBJECT
  public:
    // The colours are asked for at every paint, so a change shows at once.
    // In the extended terminal bold text in colours 0-7 may take 8-15.
    struct Colours {
        std::function<Rgb()> text;
        std::function<Rgb()> background;
        bool boldBright = true;
    };

    // The time frames are measured by.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // How long one display frame lasts; updates are honoured at most once per frame.
    static constexpr int kFrameMs = 16;
    // Blinking text shows and hides for this long each, a blink a second.
    static constexpr int kBlinkMs = 500;

    TerminalView(Terminal& terminal, const TerminalFonts& fonts, Colours colours, Clock clock,
                 QWidget* parent = nullptr);

    // DisplaySink: an update request takes the terminal's damage and paints
    // at once unless a paint happened within the last frame, in which case
    // the paint follows at the end of that frame.
    void UpdateNow() override;
    void SetCaretPos(int row, int column) override;
    // The host switched the columns: GridWidthChanged, for the window.
    void ColumnsSwitched() override { emit GridWidthChanged(); }
    // The view's own stale areas (a window cell, the whole window), painted
    // at the next frame.
    void InvalidateCell(int row, int column);
    void InvalidateAll();
    // Takes the terminal's damage and paints the stale area at once, whatever
    // the frame pacing: the frame tick, and a local line that must show
    // before the program blocks.
    void PaintStale();

    // Paints the rows each rectangle of an update area (client pixels)
    // covers, then the caret and the selection highlight.
    void DisplayPaint(QPainter& painter, const QRegion& area);

    void SetScrollBar(QScrollBar* bar) { scrollBar_ = bar; }
    void DisplaySetViewTop(int top);
    void DisplayReturnToLive();
    // The buffer row in the window's first row: the screen's first row when
    // live, never above TopmostViewTop, even after the history has shrunk.
    int ViewTop() const { return std::max(screen_.FirstScreenRow() - rowsBack_, TopmostViewTop()); }
    // The plain terminal's window goes up to buffer row 1, whatever its
    // history holds; the others' to row 1 too, or to row 0 once their
    // history is full, so that the oldest row they keep can be seen.
    int TopmostViewTop() const {
        const int live = screen_.FirstScreenRow();
        const int top = std::min(1, live);
        if (screen_.InForce() == DialectId::kPlain) return top;
        return std::min(top, live - screen_.HistoryDepth());
    }

    // The window has the keyboard, or has lost it: the plain terminal's
    // caret goes, the extended one's becomes a hollow block.
    void CaretOn();
    void CaretOff();
    bool CaretShown() const { return caretShown_; }
    // The caret follows the cursor only while the window shows it: while it
    // does not, the terminal's moves of the caret are let pass.
    void SetCaretFollows(bool follows) { caretFollows_ = follows; }
    bool CaretFollows() const { return caretFollows_; }
    // The cell the caret stands in, and the part of it drawn over.
    QRect CaretCell() const;
    QRect CaretRect() const;

    // The press and the drag at points of the window (anywhere, the pointer
    // may have left it), which mark the cells under them.
    void SelectionPress(int x, int y, SelectionGesture gesture = {});
    void SelectionDrag(int x, int y);
    void SelectionRelease();
    const Selection& CurrentSelection() const { return selection_; }
    void CopySelection();
    // Puts the marked cells in the selection clipboard (X11's PRIMARY) in
    // the form Copy gives, keeping the highlight; nothing where the platform
    // has no selection clipboard or no cell is marked.
    void CopyToSelectionClipboard();
    // The clipboard text up to its first NUL: what Paste sends.
    static QString ClipboardText(QClipboard::Mode mode = QClipboard::Clipboard);

    // The find bar's matches, marked over the text; the current one stands out.
    void SetFindMatches(std::span<const SearchMatch> matches, std::optional<std::size_t> current);

    // The link under the pointer while Ctrl is held, underlined; none to
    // take the underline away.
    void SetLinkUnderline(std::optional<SearchMatch> link);
    const std::optional<SearchMatch>& LinkUnderline() const { return linkUnderline_; }
    // The text's point (its line and column) under a point of the window.
    TextPoint TextPointAt(int x, int y) const;

    // The text an input method is composing, shown at the cursor.
    void SetPreedit(const QString& preedit);
    const QString& Preedit() const { return preedit_; }
    // The cursor's cell, where candidate windows of an input method belong.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // The preferred size: the screen's columns and rows.
    QSize sizeHint() const override;
    // Paints done so far, whether an area waits to be painted, and whether
    // the last paint was less than a frame ago.
    int PaintCount() const { return paintCount_; }
    bool UpdatePending() const {
        return !stale_.isEmpty() || !terminal_.Damage().Clean() || LookChanged() || cursorDue_;
    }
    bool PaintedWithinFrame() const { return SincePaint().count() < kFrameMs; }
    // Whether a frame tick is waiting; none while nothing is stale.
    bool FrameScheduled() const { return frameTimer_.isActive(); }
    // Whether the blink ticks: only while the window shows blinking text.
    bool BlinkScheduled() const { return blinkTimer_.isActive(); }
    // Pixel scrolls done so far, and the window rows the last paint covered.
    int BlitCount() const { return blitCount_; }
    const QRegion& LastPaintArea() const { return lastPaintArea_; }
    // Paints made by copying cells' pixels, without a painter.
    int CopiedPaints() const { return copiedPaints_; }
    // The glyph lookups that had to ask the fonts so far.
    int GlyphMisses() const { return painter_.Glyphs().Misses(); }

  signals:
    // The terminal changed what it shows (its damage is not yet painted).
    void ScreenChanged();
    // The host changed the grid's width (DECCOLM); the window fits it.
    void GridWidthChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }  // Tab belongs to the host

  private:
    void MarkStale(const QRegion& area);
    void ScheduleFrame();
    bool PaintDirect(const QRegion& stale);
    bool PutOnWindow(QWindow& handle, QBackingStore& store, const QRegion& area);
    bool BlitCells(QPaintDevice& device, QPoint offset, const QRegion& area);
    void FinishPaint(const QRegion& area, int rows);
    CellLook ShownCellLook() const;
    bool Covered() const;
    std::chrono::milliseconds SincePaint() const;
    void TakeDamage();
    void BlitRows(int shift, int end);
    QRect WindowRows(int first, int end) const;
    int CellWidthOn(int windowRow) const;
    void PaintMatchesAndLink(QPainter& painter, int rows);
    QRegion Overlays() const;
    void MarkCursorStale();
    int PaintableRows() const;
    int ShownRows() const;
    void PaintRows(QPainter& painter, int first, int end);
    bool RowBlinks(int row) const;
    void FollowBlink(int rows);
    void Blink();
    // What paints every cell differently: the terminal in force, the
    // reverse screen and the palette. A change repaints all (a new grid size
    // marks the whole screen damaged itself).
    struct Look {
        DialectId dialect = DialectId::kPlain;
        bool reverseScreen = false;
        Palette palette;
    };
    Look CurrentLook() const;
    bool LookChanged() const;
    const Palette& ShownPalette() const;
    bool CaretDrawn() const;
    bool CaretBlinks() const;
    QRect CaretArea() const;
    struct CaretShape {
        std::array<QRect, 4> edges;
        int count = 0;
        const QRect* begin() const { return edges.data(); }
        const QRect* end() const { return edges.data() + count; }
    };
    CaretShape CaretEdges() const;
    void InvertOverlays(QPainter& painter);
    QRect CellRect(int row, int column) const;
    QRegion HighlightArea() const;
    // The line of the text a window row shows.
    std::int64_t LineAt(int windowRow) const;
    WindowCell CellAt(int x, int y) const;
    QString SelectedText() const;
    QRect CursorCell() const;

    Terminal& terminal_;
    const ScreenView& screen_;
    const TerminalFonts& fonts_;
    Colours colours_;
    Clock clock_;
    const int cellWidth_;
    const int cellHeight_;
    // How many rows above the live screen the view shows.
    int rowsBack_ = 0;
    QScrollBar* scrollBar_ = nullptr;

    QRegion stale_;
    QTimer frameTimer_;
    std::optional<std::chrono::steady_clock::time_point> lastPaint_;
    int paintCount_ = 0;
    int blitCount_ = 0;
    int copiedPaints_ = 0;
    // A blit the widget repaint has not yet shown.
    bool blitPending_ = false;
    // What puts the direct paint onto the window, and the native window it
    // was looked for (0: not yet; Qt makes a new native window when the
    // window is shown again on another screen).
    std::unique_ptr<X11WindowPut> windowPut_;
    WId windowPutFor_ = 0;
    QRegion lastPaintArea_;
    RowPainter painter_;
    CellBlit blit_;
    Look painted_;
    std::vector<bool> touched_;  // the window rows a paint covers
    std::vector<int> rowCellWidths_;  // the cell width of each window row, for the find marks
    QTimer blinkTimer_;
    bool blinkHidden_ = false;

    bool caretShown_ = false;
    bool caretFocused_ = false;
    bool caretFollows_ = true;
    int caretRow_ = 0;
    int caretColumn_ = 0;
    Selection selection_;
    std::vector<SearchMatch> findMatches_;
    std::optional<std::size_t> findCurrent_;
    std::optional<SearchMatch> linkUnderline_;
    QString preedit_;
    // The input method is told where the cursor went once per paint.
    bool caretMoved_ = false;
    // Whether a paint may have drawn the caret and pre-edit where they stand,
    // and whether they are still to be painted where they stand now.
    bool cursorDrawn_ = false;
    bool cursorDue_ = false;
};

}  // namespace quill
