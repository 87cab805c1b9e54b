#include "ui/find/scrollback_finder.h"

#include <algorithm>

namespace quill {

namespace {

// Rows one slice reads: a few milliseconds of work at most.
constexpr int kRowsPerSlice = 4000;

const std::vector<SearchMatch> kNoMatches;

}  // namespace

ScrollbackFinder::ScrollbackFinder(const ScreenView& screen, QObject* parent)
    : QObject(parent), rows_(screen) {
    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &ScrollbackFinder::RunSlice);
}

ScrollbackFinder::~ScrollbackFinder() = default;

void ScrollbackFinder::Search(const QString& pattern, SearchOptions options) {
    pattern_ = pattern;
    options_ = options;
    const QByteArray utf8 = pattern.toUtf8();
    compiled_ = std::make_unique<SearchPattern>(std::string_view(utf8.data(), utf8.size()), options);
    error_ = QString::fromStdString(compiled_->Error());
    wantedMatch_.reset();
    wantedIndex_ = 0;
    revealWhenFound_ = true;
    StartSearch();
}

void ScrollbackFinder::Restart() {
    if (!compiled_ || !compiled_->Usable()) return;
    if (current_) {
        wantedIndex_ = *current_;
        wantedMatch_ = Matches()[*current_];
    }
    StartSearch();
}

void ScrollbackFinder::Stop() {
    compiled_.reset();
    search_.reset();
    current_.reset();
    error_.clear();
    slices_.stop();
    emit Changed();
}

const std::vector<SearchMatch>& ScrollbackFinder::Matches() const {
    return search_ ? search_->Matches() : kNoMatches;
}

void ScrollbackFinder::StartSearch() {
    current_.reset();
    search_.reset();
    slices_.stop();
    if (compiled_->Usable()) {
        search_ = std::make_unique<ScrollbackSearch>(rows_, *compiled_);
        slices_.start();
    }
    emit Changed();
}

void ScrollbackFinder::RunSlice() {
    const bool done = search_->Step(kRowsPerSlice);
    if (done) slices_.stop();
    if (!current_) {
        current_ = ChooseCurrent(done);
        if (current_ && revealWhenFound_) emit CurrentMoved();
        if (current_) revealWhenFound_ = false;
    }
    emit Changed();
}

// The match that was current before the search began again, once the search
// has reached it; without it, the one at its place in the order.
std::optional<std::size_t> ScrollbackFinder::ChooseCurrent(bool done) const {
    const std::vector<SearchMatch>& found = search_->Matches();
    if (found.empty()) return std::nullopt;
    if (wantedMatch_) {
        const auto same = std::find(found.begin(), found.end(), *wantedMatch_);
        if (same != found.end()) return static_cast<std::size_t>(same - found.begin());
        // The matches come newest first: once one older than it is found, it
        // is gone.
        if (!done && found.back().firstRow >= wantedMatch_->firstRow) return std::nullopt;
    } else if (!done && found.size() <= wantedIndex_) {
        return std::nullopt;
    }
    return std::min(wantedIndex_, found.size() - 1);
}

void ScrollbackFinder::Older() {
    const std::size_t found = Matches().size();
    if (!current_ || found == 0) return;
    current_ = *current_ + 1 < found ? *current_ + 1 : 0;
    emit Changed();
    emit CurrentMoved();
}

void ScrollbackFinder::Newer() {
    const std::size_t found = Matches().size();
    if (!current_ || found == 0) return;
    current_ = *current_ > 0 ? *current_ - 1 : found - 1;
    emit Changed();
    emit CurrentMoved();
}

}  // namespace quill
