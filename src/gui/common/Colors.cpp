#include "gui/common/Colors.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPalette>
#include <QWidget>

namespace rv::gui {

QColor toQColor(std::int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

std::int32_t toWinColor(const QColor& color) {
    return winColor(color.red(), color.green(), color.blue());
}

void paintBackground(QWidget* widget, std::int32_t background) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, toQColor(background));
    // Buttons (radio buttons, check boxes) fill with their own background role.
    p.setColor(widget->backgroundRole(), toQColor(background));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void paintText(QWidget* widget, std::int32_t text) {
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, toQColor(text));
    p.setColor(QPalette::ButtonText, toQColor(text));
    p.setColor(QPalette::Text, toQColor(text));
    widget->setPalette(p);
}

void paintTextAndBackground(QWidget* widget, std::int32_t text, std::int32_t background) {
    paintBackground(widget, background);
    paintText(widget, text);
}

void paintBox(QWidget* box, std::int32_t text, std::int32_t background) {
    QPalette p = box->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, toQColor(background));
        p.setColor(group, QPalette::Text, toQColor(text));
        // A drop-down list that cannot be typed into draws its face with the button roles.
        p.setColor(group, QPalette::Button, toQColor(background));
        p.setColor(group, QPalette::ButtonText, toQColor(text));
    }
    box->setPalette(p);
    if (auto* combo = qobject_cast<QComboBox*>(box)) combo->view()->setPalette(p);
}

}  // namespace rv::gui
