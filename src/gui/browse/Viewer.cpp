#include "gui/browse/Viewer.h"

#include <QAction>

#include "gui/common/MainHost.h"
#include "gui/browse/TViewConfig.h"
#include "gui/browse/VideoTableModel.h"
#include "gui/browse/ViewerGrid.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/edit/TMyEdit.h"

namespace rv::gui {

ViewerGrid* installViewer(MainHost& main) {
    auto* grid = new ViewerGrid;
    auto* model = new VideoTableModel(main.table(), grid);
    model->setErrorHandler([&main](const QString& text) { prompt().error(main.widget(), text); });
    main.setViewerGrid(grid);
    // The in-grid drop-downs offer the viewer's own entry lists, which the record editor holds.
    grid->setEntriesProvider([&main](int field) {
        QStringList entries;
        if (TMyEdit* editor = recordEditor(main))
            for (const std::string& e : editor->lists().viewerList(field)) entries << toQ(e);
        return entries;
    });
    main.setViewerOptionsHandler([&main, grid, model] { grid->applyOptions(*model, main.settings(), main.browseMode()); });
    QObject::connect(grid, &ViewerGrid::recordActivated, main.widget(), [&main, model](int row) {
        model->moveToRow(row);
        if (QAction* edit = main.menuItem(QStringLiteral("MenuEdit")); edit && edit->isEnabled()) edit->trigger();
    });
    if (!main.browseMode()) main.provideCommand(QStringLiteral("MenuViewer"), [&main] { DoViewer(main); });
    main.SetViewerOptions();
    return grid;
}

void DoViewer(MainHost& main) {
    TViewConfig window(main.settings(), main.scaleFactor(), main.widget());
    window.exec();
    main.SetViewerOptions();
}

}  // namespace rv::gui
