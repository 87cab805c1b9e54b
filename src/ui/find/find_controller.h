#pragma once

#include <QObject>
#include <functional>

namespace quill {

class FindBar;
class ScreenView;
class ScrollbackFinder;
class TerminalView;
struct SearchMatch;

// Ties the find bar, the search and the terminal view together: typing
// searches, the count and the highlights follow the search, the view
// scrolls to the current match, and new output searches again.
class FindController final : public QObject {
    Q_OBJECT
  public:
    // Scrolls the view so that the buffer row is its top row.
    using ScrollTo = std::function<void(int top)>;

    FindController(QWidget* barParent, const ScreenView& screen, TerminalView& view,
                   ScrollTo scrollTo);

    void Open();
    bool IsOpen() const;
    FindBar& Bar() { return *bar_; }
    const ScrollbackFinder& Finder() const { return *finder_; }

  private:
    void Search();
    void ShowMatches();
    void RevealCurrent();
    void Close();

    const ScreenView& screen_;
    TerminalView& view_;
    ScrollTo scrollTo_;
    FindBar* bar_;
    ScrollbackFinder* finder_;
};

}  // namespace quill
