// reelvane: the Qt program.
#include <QApplication>

#include "gui/app/TMain.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("reelvane"));
    rv::gui::TMain main;
    main.show();
    return QApplication::exec();
}
