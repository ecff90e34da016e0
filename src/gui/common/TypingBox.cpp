#include "gui/common/TypingBox.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QMouseEvent>

namespace rv::gui {

TypingBox::TypingBox(QWidget* parent) : QLineEdit(parent) {}

int TypingBox::firstFreePosition() const {
    const QString mask = inputMask();
    if (mask.isEmpty()) return -1;
    // The blank character follows the last ';' of the mask ("00/00/0000;_"); a space when
    // none is given.
    const qsizetype semicolon = mask.lastIndexOf(QLatin1Char(';'));
    const QChar blank = semicolon >= 0 && semicolon + 1 < mask.size() ? mask.at(semicolon + 1) : QLatin1Char(' ');
    const QString shown = displayText();
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (shown.at(i) == blank) return static_cast<int>(i);
    return -1;
}

void TypingBox::keepCursorInReach() {
    const int free = firstFreePosition();
    if (free >= 0 && !hasSelectedText() && cursorPosition() > free) setCursorPosition(free);
}

void TypingBox::takeTyping() {
    const int free = firstFreePosition();
    if (free >= 0) {
        deselect();
        setCursorPosition(free);
    } else {
        selectAll();
    }
}

void TypingBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::OtherFocusReason:
            takeTyping();
            break;
        case Qt::MouseFocusReason:
            // The click itself places the cursor (mouse events follow the focus).
            break;
        default:
            keepCursorInReach();
            break;
    }
}

void TypingBox::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    keepCursorInReach();
}

void TypingBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    keepCursorInReach();
}

void makePlainDropDown(QComboBox* combo) {
    combo->setEditable(true);
    auto* box = new TypingBox(combo);
    combo->setLineEdit(box);
    // Without a completer the box neither completes inline nor matches list entries in
    // another letter case when editing ends.
    combo->setCompleter(nullptr);
}

QLineEdit* textBoxOf(QWidget* box) {
    if (auto* e = qobject_cast<QLineEdit*>(box)) return e;
    if (auto* c = qobject_cast<QComboBox*>(box)) return c->lineEdit();
    return nullptr;
}

void takeTyping(QWidget* box) {
    if (auto* t = qobject_cast<TypingBox*>(textBoxOf(box))) t->takeTyping();
}

}  // namespace rv::gui
