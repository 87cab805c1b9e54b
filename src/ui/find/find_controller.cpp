#include "ui/find/find_controller.h"

#include "core/interfaces/screen_view.h"
#include "ui/find/find_bar.h"
#include "ui/find/scrollback_finder.h"
#include "ui/terminal/terminal_view.h"

namespace quill {

FindController::FindController(QWidget* barParent, const ScreenView& screen, TerminalView& view,
                               ScrollTo scrollTo)
    : QObject(barParent),
      screen_(screen),
      view_(view),
      scrollTo_(std::move(scrollTo)),
      bar_(new FindBar(barParent)),
      finder_(new ScrollbackFinder(screen, this)) {
    connect(bar_, &FindBar::SearchChanged, this, &FindController::Search);
    connect(bar_, &FindBar::OlderWanted, finder_, &ScrollbackFinder::Older);
    connect(bar_, &FindBar::NewerWanted, finder_, &ScrollbackFinder::Newer);
    connect(bar_, &FindBar::Closed, this, &FindController::Close);
    connect(finder_, &ScrollbackFinder::Changed, this, &FindController::ShowMatches);
    connect(finder_, &ScrollbackFinder::CurrentMoved, this, &FindController::RevealCurrent);
    connect(&view_, &TerminalView::ScreenChanged, this, [this] {
        if (IsOpen()) finder_->Restart();
    });
}

void FindController::Open() {
    bar_->Open();
    Search();
}

bool FindController::IsOpen() const {
    return bar_->isVisible();
}

void FindController::Search() {
    finder_->Search(bar_->Pattern(), bar_->Options());
}

void FindController::ShowMatches() {
    const std::vector<SearchMatch>& matches = finder_->Matches();
    view_.SetFindMatches(matches, finder_->Current());
    if (!finder_->Error().isEmpty()) {
        bar_->ShowError(finder_->Error());
        return;
    }
    const int current = finder_->Current() ? static_cast<int>(*finder_->Current()) + 1 : 0;
    bar_->ShowCount(current, static_cast<int>(matches.size()), finder_->Searching());
}

// The current match is put in the middle of the rows the bar leaves in
// sight, unless it is in sight already.
void FindController::RevealCurrent() {
    if (!finder_->Current()) return;
    const SearchMatch& match = finder_->Matches()[*finder_->Current()];
    const int cellHeight = std::max(1, view_.height() / std::max(1, screen_.Geometry().screenRows));
    const int covered = (bar_->height() + cellHeight - 1) / cellHeight;
    const int inSight = std::max(1, screen_.Geometry().screenRows - covered);
    const long long top = screen_.LinesScrolled() + view_.ViewTop();
    if (match.firstRow >= top && match.lastRow < top + inSight) return;
    scrollTo_(static_cast<int>(match.firstRow - screen_.LinesScrolled()) - inSight / 2);
}

void FindController::Close() {
    finder_->Stop();
    view_.setFocus(Qt::OtherFocusReason);
}

}  // namespace quill
