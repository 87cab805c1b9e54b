#pragma once

#include <QFrame>

#include "core/search/search_pattern.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quill {

// The bar that searches the scroll-back: a text field, "Match case",
// "Regular expression", the count of matches and a close button. It lies
// over the bottom edge of the terminal, which keeps its grid. Enter and F3
// ask for the next older match, Shift with either for the next newer one,
// Escape closes it.
class FindBar final : public QFrame {
    Q_OBJECT
  public:
    explicit FindBar(QWidget* parent);

    // Shows the bar at the bottom of its parent with the field's text selected.
    void Open();
    QString Pattern() const;
    SearchOptions Options() const;
    // "3 of 41", "No matches", "Searching..." or an expression's error.
    void ShowCount(int current, int total, bool searching);
    void ShowError(const QString& error);

  signals:
    void SearchChanged();
    void OlderWanted();
    void NewerWanted();
    void Closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Close();
    void PlaceAtBottom();
    // Enter, F3 and Escape, with or without Shift; true when taken.
    bool TakeKey(const QKeyEvent& key);

    QLineEdit* field_;
    QCheckBox* matchCase_;
    QCheckBox* regularExpression_;
    QLabel* count_;
};

}  // namespace quill
