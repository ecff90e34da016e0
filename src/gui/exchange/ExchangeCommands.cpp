#include "gui/exchange/ExchangeCommands.h"

#include <memory>
#include <optional>

#include "core/browse/RecordSearch.h"

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
    // "Export Entire Database" holds the session's search suspended while it writes and brings
    // it back afterwards (the guard's end brings it back too, should the window close first).
    auto suspended = std::make_shared<std::optional<rv::browse::SuspendedSearch>>();
    SearchHooks search;
    search.inForce = [&main] { return main.session().searchInForce(); };
    search.suspend = [&main, suspended] { suspended->emplace(main.session().search()); };
    search.resume = [suspended] { suspended->reset(); };
    TMyExport window(ExportContext{main.settings(), main.table(), search, main.scaleFactor(), {}}, main.widget());
    window.exec();
}

void installExchange(MainHost& main) {
    main.provideCommand(QStringLiteral("MenuImport"), [&main] { DoImport(main); });
    main.provideCommand(QStringLiteral("MenuExport"), [&main] { DoExport(main); });
}

}  // namespace rv::gui
