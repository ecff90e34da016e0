#include "gui/app/TMain.h"

#include <QMenuBar>

namespace rv::gui {

TMain::TMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Reelvane Videos 97"));
    resize(640, 480);
    menuBar()->addMenu(tr("&File"));
}

}  // namespace rv::gui
