#include "gui/app/SearchCommands.h"

#include <QWidget>

#include "gui/common/MainHost.h"
#include "gui/browse/TMyLocateDlg.h"
#include "gui/browse/TMySearch.h"
#include "gui/edit/TMyEdit.h"

namespace rv::gui {

TMyLocateDialog* locateDialog(MainHost& main) { return main.widget()->findChild<TMyLocateDialog*>(QStringLiteral("MyLocateDialog")); }

TMyLocateDialog* installSearch(MainHost& main) {
    auto* locate = new TMyLocateDialog(main.widget());
    locate->setDataSource(&main.table(), &main.settings());
    locate->setPlacement([&main](QWidget* dialog) { main.PlaceDialog(dialog); });
    main.provideCommand(QStringLiteral("MenuSearch"), [&main] { DoSearch(main); });
    main.provideCommand(QStringLiteral("MenuFind"), [&main] { DoFind(main); });
    main.provideCommand(QStringLiteral("MenuFindNext"), [&main] { DoFindNext(main); });
    return locate;
}

void DoSearch(MainHost& main) {
    TMyEdit* editor = recordEditor(main);
    SearchWindowContext context{main.settings(), main.formats().date(), main.session().search(),
                                editor ? &editor->lists() : nullptr, main.programFolder(), main.scaleFactor(),
                                [&main](QWidget* dialog) { main.PlaceDialog(dialog); }, {}};
    {
        TMySearch window(std::move(context), main.widget());
        window.exec();
    }
    main.SetViewerOptions();
    main.DisplayCount();
}

bool DoFind(MainHost& main) {
    TMyLocateDialog* locate = locateDialog(main);
    return locate && locate->Execute(main.widget());
}

bool DoFindNext(MainHost& main) {
    TMyLocateDialog* locate = locateDialog(main);
    return locate && locate->FindNext(main.widget());
}

}  // namespace rv::gui
