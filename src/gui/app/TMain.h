#pragma once
// The main window.  It exists for the whole run and owns the current database.

#include <QMainWindow>

namespace rv::gui {

class TMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TMain(QWidget* parent = nullptr);
};

}  // namespace rv::gui
