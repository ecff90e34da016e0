// reelvane: the Qt program.
#include <QApplication>
#include <QStyleFactory>

#include "gui/app/TMain.h"
#include "gui/backup/BackupCommands.h"
#include "gui/db/ConversionCheck.h"
#include "gui/browse/Viewer.h"
#include "gui/edit/TMyEdit.h"
#include "gui/exchange/ExchangeCommands.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelvane Videos"));
    // Fusion draws every control from its palette, so the colour sets show on any desktop.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);

    rv::gui::MainOptions options;
    options.arguments = QCoreApplication::arguments().mid(1);
    options.checkForConversion = rv::gui::CheckForConversion;  // databases of earlier versions
    rv::gui::TMain main(options);
    if (!main.started()) return 1;  // no database could be found or created
    rv::gui::installRecordEditor(main);  // the record editor and the data lists, kept until the end
    rv::gui::installViewer(main);        // the grid over the video table and the Viewer command
    rv::gui::installExchange(main);      // Import and Export
    rv::gui::installBackupCommands(main);  // Back Up Data and Restore Data
    main.show();
    return QApplication::exec();
}
