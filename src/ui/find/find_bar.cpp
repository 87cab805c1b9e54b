#include "ui/find/find_bar.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace quill {

FindBar::FindBar(QWidget* parent)
    : QFrame(parent),
      field_(new QLineEdit(this)),
      matchCase_(new QCheckBox(QStringLiteral("Match &case"), this)),
      regularExpression_(new QCheckBox(QStringLiteral("Regular e&xpression"), this)),
      count_(new QLabel(this)) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("\u00d7"));
    close->setToolTip(QStringLiteral("Close (Escape)"));
    close->setAutoRaise(true);
    field_->setPlaceholderText(QStringLiteral("Find"));
    field_->setClearButtonEnabled(true);
    field_->setMinimumWidth(fontMetrics().averageCharWidth() * 24);
    field_->installEventFilter(this);
    count_->setMinimumWidth(fontMetrics().averageCharWidth() * 16);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->addWidget(field_, 1);
    layout->addWidget(matchCase_);
    layout->addWidget(regularExpression_);
    layout->addWidget(count_);
    layout->addWidget(close);
    connect(field_, &QLineEdit::textChanged, this, &FindBar::SearchChanged);
    connect(matchCase_, &QCheckBox::toggled, this, &FindBar::SearchChanged);
    connect(regularExpression_, &QCheckBox::toggled, this, &FindBar::SearchChanged);
    connect(close, &QToolButton::clicked, this, &FindBar::Close);
    parent->installEventFilter(this);
    hide();
}

void FindBar::Open() {
    PlaceAtBottom();
    show();
    raise();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

QString FindBar::Pattern() const {
    return field_->text();
}

SearchOptions FindBar::Options() const {
    return {.matchCase = matchCase_->isChecked(),
            .regularExpression = regularExpression_->isChecked()};
}

void FindBar::ShowCount(int current, int total, bool searching) {
    if (searching && total == 0) {
        count_->setText(QStringLiteral("Searching..."));
    } else if (total == 0) {
        count_->setText(field_->text().isEmpty() ? QString() : QStringLiteral("No matches"));
    } else {
        count_->setText(QStringLiteral("%1 of %2%3").arg(current).arg(total).arg(searching ? "+" : ""));
    }
    count_->setToolTip(QString());
}

void FindBar::ShowError(const QString& error) {
    count_->setText(error);
    count_->setToolTip(error);
}

// The bar follows its parent's size, over the bottom edge.
bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize && isVisible()) PlaceAtBottom();
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        return TakeKey(*static_cast<QKeyEvent*>(event));
    }
    return QFrame::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    if (!TakeKey(*event)) QFrame::keyPressEvent(event);
}

bool FindBar::TakeKey(const QKeyEvent& key) {
    const bool shift = (key.modifiers() & Qt::ShiftModifier) != 0;
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F3:
            if (shift) {
                emit NewerWanted();
            } else {
                emit OlderWanted();
            }
            return true;
        case Qt::Key_Escape:
            Close();
            return true;
        default:
            return false;
    }
}

void FindBar::Close() {
    hide();
    emit Closed();
}

void FindBar::PlaceAtBottom() {
    auto* owner = parentWidget();
    const int height = sizeHint().height();
    setGeometry(0, owner->height() - height, owner->width(), height);
}

}  // namespace quill
