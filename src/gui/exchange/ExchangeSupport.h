#pragma once
// Small pieces shared by the import and export windows.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QHeaderView>
#include <QScrollBar>

#include <string_view>

#include "core/app/Settings.h"
#include "gui/common/Colors.h"
#include "gui/common/Placement.h"

namespace rv::gui::exchange {

// Keeps a window painted during a long import or export: at most every 40 ms it runs `show`
// (the running count, the gauge) and lets Qt repaint.  User input waits until the work is
// done, so no command can start in the middle of it.
class Pump {
public:
    Pump() { timer_.start(); }
    template <class Show>
    void tick(Show show, bool force = false) {
        if (!force && timer_.elapsed() < 40) return;
        show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        timer_.restart();
    }

private:
    QElapsedTimer timer_;
};

// The hourglass for the length of a scope.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// A grid that cannot be edited by typing, with a heading row and design widths (for the
// 640 x 480 screen size) multiplied by the scale factor.
inline QTableWidget* fieldGrid(int rows, const QStringList& headings, const QList<int>& widths, double factor) {
    auto* grid = new QTableWidget(rows, int(headings.size()));
    grid->setHorizontalHeaderLabels(headings);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(int(20 * factor));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    int total = 0;
    for (int c = 0; c < widths.size(); ++c) {
        grid->setColumnWidth(c, int(widths[c] * factor));
        total += int(widths[c] * factor);
    }
    grid->setMinimumWidth(total + grid->verticalScrollBar()->sizeHint().width() + 4);
    grid->setMinimumHeight(int(240 * factor));
    return grid;
}

inline void setCell(QTableWidget* grid, int row, int column, const QString& text) {
    auto* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grid->setItem(row, column, item);
    }
    item->setText(text);
}

inline QSize screenSize() {
    return QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize(1024, 768);
}

// Fonts, the size the contents need, centred on the screen and 10 pixels higher when there
// is room above.
inline void place(QDialog* dialog, const rv::app::Settings& settings) {
    ApplyFonts(dialog, settings);
    dialog->adjustSize();
    centreOnScreen(dialog, screenSize());
    if (dialog->y() > 10) dialog->move(dialog->x(), dialog->y() - 10);
}

// The Configure Window colour set.
inline void paintConfigureColors(QWidget* window, const rv::app::Settings& settings) {
    const rv::app::ColorSet& c = settings.colors[rv::app::ConfigureWindowColors];
    paintBackground(window, c[rv::app::MainBackground]);
    for (QCheckBox* box : window->findChildren<QCheckBox*>())
        paintTextAndBackground(box, c[rv::app::CheckText], c[rv::app::CheckBackground]);
    for (QRadioButton* radio : window->findChildren<QRadioButton*>())
        paintTextAndBackground(radio, c[rv::app::RadioText], c[rv::app::RadioBackground]);
    for (QLabel* label : window->findChildren<QLabel*>()) paintText(label, c[rv::app::MinorTitle]);
    for (QGroupBox* group : window->findChildren<QGroupBox*>()) paintText(group, c[rv::app::MinorTitle]);
    for (QTableWidget* grid : window->findChildren<QTableWidget*>())
        paintBox(grid, c[rv::app::ListBoxText], c[rv::app::ListBoxBackground]);
}

}  // namespace rv::gui::exchange
