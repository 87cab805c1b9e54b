#pragma once

#include <QPointer>
#include <QTextBrowser>

class QWidget;

namespace quill {

enum class HelpTopic { Index, UsingHelp };

// The program's help page in a window of its own. One window per owner is
// kept and brought to the front when help is asked for again.
class HelpViewer {
  public:
    void Show(QWidget* owner, HelpTopic topic);
    // The browser showing the page; nullptr before the first Show.
    QTextBrowser* Browser() const { return browser_; }

  private:
    QPointer<QTextBrowser> browser_;
};

}  // namespace quill
