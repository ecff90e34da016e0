#include "gui/exchange/ExchangeCommands.h"

#include "gui/app/TMain.h"
#include "gui/exchange/TMyExport.h"
#include "gui/exchange/TMyImport.h"

namespace rv::gui {

void DoImport(TMain& main) {
    {
        TImportFormat window(ImportContext{main.settings(), main.table(), main.formats().date(), main.scaleFactor(), {}},
                             &main);
        window.exec();
    }
    main.DisplayCount();
}

void DoExport(TMain& main) {
    SearchHooks search;
    search.inForce = [&main] { return main.searchInForce(); };
    TMyExport window(ExportContext{main.settings(), main.table(), search, main.scaleFactor(), {}}, &main);
    window.exec();
}

void installExchange(TMain& main) {
    main.provideCommand(QStringLiteral("MenuImport"), [&main] { DoImport(main); });
    main.provideCommand(QStringLiteral("MenuExport"), [&main] { DoExport(main); });
}

}  // namespace rv::gui
