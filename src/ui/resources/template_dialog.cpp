#include "ui/resources/template_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "ui/resources/dialog_flags.h"
#include "ui/resources/program_icon.h"
#include "ui/resources/qt_text.h"

namespace quill {
namespace {

constexpr int kIconPixels = 32;

bool Has(std::uint32_t styles, std::uint32_t flag) {
    return (styles & flag) != 0;
}

QWidget* MakeButton(const ControlTemplate& c, QWidget* parent) {
    const QString text = ToQString(c.text);
    if (Has(c.style, style::kGroupBox)) return new QGroupBox(text, parent);
    if (Has(c.style, style::kAutoCheckBox)) return new QCheckBox(text, parent);
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(true);
    button->setDefault(Has(c.style, style::kDefaultPush));
    return button;
}

QWidget* MakeStatic(const ControlTemplate& c, QWidget* parent) {
    auto* label = new QLabel(parent);
    if (Has(c.style, style::kIcon)) {
        label->setPixmap(LoadProgramIcon(c.text).pixmap(kIconPixels, kIconPixels));
    } else if (Has(c.style, style::kBlackRect)) {
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, Qt::black);
        label->setPalette(palette);
    } else {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setText(ToQString(c.text));
        const Qt::Alignment horizontal =
            Has(c.style, style::kCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
        label->setAlignment(horizontal | Qt::AlignTop);
    }
    return label;
}

QWidget* MakeComboBox(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    // The list is filled by the program only; Enter must not add to it.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setDuplicatesEnabled(true);
    return combo;
}

QWidget* MakeListBox(const ControlTemplate& c, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setSortingEnabled(Has(c.style, style::kSorted));
    if (!Has(c.style, style::kVScroll)) list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setFrameShape(Has(c.style, style::kBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
    return list;
}

QWidget* MakeEdit(const ControlTemplate& c, QWidget* parent) {
    auto* edit = new QLineEdit(ToQString(c.text), parent);
    edit->setFrame(Has(c.style, style::kBorder));
    return edit;
}

QWidget* MakeCustom(const ControlTemplate& c, QWidget* parent,
                    const CustomControlFactory& factory) {
    QWidget* widget = factory ? factory(c.className, parent) : nullptr;
    if (!widget) widget = new QWidget(parent);
    if (auto* frame = qobject_cast<QFrame*>(widget); frame && Has(c.style, style::kBorder)) {
        frame->setFrameShape(QFrame::Box);
    }
    return widget;
}

Qt::WindowFlags FlagsFor(const DialogTemplate& t) {
    if (!Has(t.style, style::kCaption)) return Qt::Dialog | Qt::FramelessWindowHint;
    if (Has(t.style, style::kSysMenu)) return kDialogWindowFlags;
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
}

QPoint ClientOrigin(QWidget* owner) {
    if (!owner) return {0, 0};
    if (auto* main = qobject_cast<QMainWindow*>(owner); main && main->centralWidget()) {
        return main->centralWidget()->mapToGlobal(QPoint(0, 0));
    }
    return owner->mapToGlobal(QPoint(0, 0));
}

}  // namespace

TemplateDialog::TemplateDialog(const DialogTemplate& resource, QWidget* owner,
                               DialogHandlers handlers, const CustomControlFactory& factory)
    : QDialog(owner, FlagsFor(resource)),
      resource_(resource),
      handlers_(std::move(handlers)),
      units_(BaseUnitsOf(font())) {
    setObjectName(ToQString(resource.name));
    setWindowTitle(ToQString(resource.caption));
    setFixedSize(ToPixels(resource.rect).size());
    QWidget* previous = nullptr;
    for (const ControlTemplate& control : resource.controls) {
        QWidget* widget = MakeControl(control, factory);
        PlaceControl(widget, control);
        if (widget->focusPolicy() == Qt::StrongFocus) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    }
    PlaceDialog(owner);
}

QWidget* TemplateDialog::MakeControl(const ControlTemplate& control,
                                     const CustomControlFactory& factory) {
    switch (control.kind) {
        case ControlClass::Button:
            return MakeButton(control, this);
        case ControlClass::Edit:
            return MakeEdit(control, this);
        case ControlClass::ComboBox:
            return MakeComboBox(this);
        case ControlClass::ListBox:
            return MakeListBox(control, this);
        case ControlClass::Custom:
            return MakeCustom(control, this, factory);
        case ControlClass::Static:
            break;
    }
    return MakeStatic(control, this);
}

void TemplateDialog::PlaceControl(QWidget* widget, const ControlTemplate& control) {
    QRect rect = ToPixels(control.rect);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // The template height includes the drop-down list; the field itself
        // is as tall as its font needs.
        const int fieldHeight = combo->sizeHint().height();
        combo->setMaxVisibleItems(std::max(1, (rect.height() - fieldHeight) / units_.cy));
        rect.setHeight(fieldHeight);
    }
    if (Has(control.style, style::kIcon)) rect.setSize({kIconPixels, kIconPixels});
    if (qobject_cast<QCheckBox*>(widget)) {
        // Our check mark and font may be wider than the ones the rectangles
        // were laid out for: let the label show whole rather than cut it.
        rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
    }
    widget->setGeometry(rect);
    widget->setEnabled(!Has(control.style, style::kDisabled));
    if (Has(control.style, style::kTabStop)) {
        widget->setFocusPolicy(Qt::StrongFocus);
    } else if (widget->focusPolicy() != Qt::NoFocus) {
        widget->setFocusPolicy(Qt::ClickFocus);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id = control.id] { SendCommand(id); });
    }
    if (auto* list = qobject_cast<QListWidget*>(widget);
        list && Has(control.style, style::kNotify)) {
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this, id = control.id] { SendCommand(id); });
    }
    if (control.id != kNoControlId) controls_.emplace(control.id, widget);
}

void TemplateDialog::PlaceDialog(QWidget* owner) {
    QRect frame(ClientOrigin(owner) + ToPixels(resource_.rect).topLeft(), size());
    // Like the window system, keep a dialog that would stick out on the screen.
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        frame.moveRight(std::min(frame.right(), area.right()));
        frame.moveBottom(std::min(frame.bottom(), area.bottom()));
        frame.moveLeft(std::max(frame.left(), area.left()));
        frame.moveTop(std::max(frame.top(), area.top()));
    }
    move(frame.topLeft());
}

QWidget* TemplateDialog::Control(ControlId id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

std::string TemplateDialog::ItemText(ControlId id) const {
    QWidget* widget = Control(id);
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        text = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        text = button->text();
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        text = edit->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        text = combo->currentText();
    } else if (widget) {
        text = widget->windowTitle();
    }
    return text.toStdString();
}

void TemplateDialog::SetItemText(ControlId id, std::string_view value) {
    QWidget* widget = Control(id);
    const QString text = ToQString(value);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setEditText(text);
    } else if (widget) {
        widget->setWindowTitle(text);
    }
}

void TemplateDialog::Initialise() {
    if (handlers_.onInitDialog) handlers_.onInitDialog(*this);
}

int TemplateDialog::RunModal() {
    return exec();
}

void TemplateDialog::SendCommand(ControlId id) {
    if (handlers_.onCommand) handlers_.onCommand(*this, id);
}

void TemplateDialog::reject() {
    SendCommand(kStandardCancel);
}

void TemplateDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!Has(resource_.style, style::kThinBorder)) return;
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace quill
