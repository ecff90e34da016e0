#include "gui/exchange/ExchangeCommands.h"

#include "gui/common/MainHost.h"
#include "gui/exchange/TMyExport.h"
#include "gui/exchange/TMyImport.h"

namespace rv::gui {

void DoImport(MainHost& main) {
    {
        TImportFormat window(ImportContext{main.settings(), main.table(), main.formats().date(), main.scaleFactor(), {}},
                             main.widget());
        window.exec();
    }
    main.DisplayCount();
}

void DoExport(MainHost& main) {
    SearchHooks search;
    search.inForce = [&main] { return main.session().searchInForce(); };
    TMyExport window(ExportContext{main.settings(), main.table(), search, main.scaleFactor(), {}}, main.widget());
    window.exec();
}

void installExchange(MainHost& main) {
    main.provideCommand(QStringLiteral("MenuImport"), [&main] { DoImport(main); });
    main.provideCommand(QStringLiteral("MenuExport"), [&main] { DoExport(main); });
}

}  // namespace rv::gui
