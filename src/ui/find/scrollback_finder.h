#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "core/engine/screen_search_rows.h"
#include "core/search/scrollback_search.h"

namespace quill {

// Runs the find bar's search over the history and the screen a slice of
// rows at a time between the window's other events, so typing never waits
// for a long history. A change of the text under the matches starts it
// again; until it has found them anew no match is shown, so none is ever
// shown on the wrong cells.
class ScrollbackFinder final : public QObject {
    Q_OBJECT
  public:
    explicit ScrollbackFinder(const ScreenView& screen, QObject* parent = nullptr);
    ~ScrollbackFinder() override;

    // A new pattern; the newest match becomes the current one. An empty
    // pattern finds nothing; an expression that does not compile leaves its
    // message in Error().
    void Search(const QString& pattern, SearchOptions options);
    // The screen changed: the same pattern over the new text, keeping the
    // current match's place in the order where there still is one.
    void Restart();
    // No pattern any more (the bar closed).
    void Stop();

    // The matches found so far, the newest first.
    const std::vector<SearchMatch>& Matches() const;
    std::optional<std::size_t> Current() const { return current_; }
    bool Searching() const { return slices_.isActive(); }
    const QString& Error() const { return error_; }
    // The next older or newer match becomes the current one; from the
    // oldest, older goes round to the newest, and newer the other way.
    void Older();
    void Newer();

  signals:
    // The matches, the current one or the search's state changed.
    void Changed();
    // The user moved to another match (or the first one was found): the
    // view should show it.
    void CurrentMoved();

  private:
    void StartSearch();
    void RunSlice();
    std::optional<std::size_t> ChooseCurrent(bool done) const;

    ScreenSearchRows rows_;
    QString pattern_;
    SearchOptions options_;
    std::unique_ptr<SearchPattern> compiled_;
    std::unique_ptr<ScrollbackSearch> search_;
    std::optional<std::size_t> current_;
    // Restarting keeps the current match where the text still has it, else
    // its place in the order; a new pattern begins at the newest.
    std::optional<SearchMatch> wantedMatch_;
    std::size_t wantedIndex_ = 0;
    bool revealWhenFound_ = false;
    QString error_;
    QTimer slices_;
};

}  // namespace quill
