#include "gui/app/SearchCommands.h"

#include "gui/app/TMain.h"
#include "gui/browse/TMyLocateDlg.h"
#include "gui/browse/TMySearch.h"
#include "gui/edit/TMyEdit.h"

namespace rv::gui {

TMyLocateDialog* locateDialog(TMain& main) { return main.findChild<TMyLocateDialog*>(QStringLiteral("MyLocateDialog")); }

TMyLocateDialog* installSearch(TMain& main) {
    auto* locate = new TMyLocateDialog(&main);
    locate->setDataSource(&main.table(), &main.settings());
    locate->setPlacement([&main](QWidget* dialog) { main.PlaceDialog(dialog); });
    main.provideCommand(QStringLiteral("MenuSearch"), [&main] { DoSearch(main); });
    main.provideCommand(QStringLiteral("MenuFind"), [&main] { DoFind(main); });
    main.provideCommand(QStringLiteral("MenuFindNext"), [&main] { DoFindNext(main); });
    return locate;
}

void DoSearch(TMain& main) {
    TMyEdit* editor = recordEditor(main);
    SearchWindowContext context{main.settings(), main.formats().date(), main.search(),
                                editor ? &editor->lists() : nullptr, main.programFolder(), main.scaleFactor(),
                                [&main](QWidget* dialog) { main.PlaceDialog(dialog); }, {}};
    {
        TMySearch window(std::move(context), &main);
        window.exec();
    }
    main.SetViewerOptions();
    main.DisplayCount();
}

bool DoFind(TMain& main) {
    TMyLocateDialog* locate = locateDialog(main);
    return locate && locate->Execute(&main);
}

bool DoFindNext(TMain& main) {
    TMyLocateDialog* locate = locateDialog(main);
    return locate && locate->FindNext(&main);
}

}  // namespace rv::gui
