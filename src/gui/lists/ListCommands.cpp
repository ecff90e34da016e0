#include "gui/lists/ListCommands.h"

#include <QAction>

#include "core/lists/ListMaintenance.h"
#include "gui/common/MainHost.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/edit/TMyEdit.h"
#include "gui/lists/TMyEditBox.h"

namespace rv::gui {

namespace {


void maintain(MainHost& main, TMyEdit& editor, int list) {
    TMyEditBox window(main, editor.lists(), list, main.widget());
    window.exec();
}

// The two default-list questions: question sound, Yes and No, No the default.
bool confirmDefaults(MainHost& main, std::string_view title, std::string_view question) {
    prompt().beep(Sound::Question);
    return prompt().yes(main.widget(), toQ(title), toQ(question), Answer::No, Icon::Question);
}

}  // namespace

void EditAList(MainHost& main, TMyEdit& editor, int list) { maintain(main, editor, list); }
void EditSpecList(MainHost& main, TMyEdit& editor, int list) { maintain(main, editor, list); }

void MenuSaveDefaultsClick(MainHost& main, TMyEdit& editor) {
    if (confirmDefaults(main, rv::lists::kSaveDefaultsTitle, rv::lists::kSaveDefaultsQuestion)) editor.SaveDefaultLists();
}

void MenuLoadDefaultsClick(MainHost& main, TMyEdit& editor) {
    if (confirmDefaults(main, rv::lists::kLoadDefaultsTitle, rv::lists::kLoadDefaultsQuestion)) editor.LoadDefaultList();
}

void installListCommands(MainHost& main, TMyEdit& editor) {
    for (const auto& item : rv::lists::kMaintenanceItems) {
        const int list = item.list;
        const bool programWide = !rv::lists::listDef(list).perDatabase;
        main.provideCommand(toQ(item.menuItem), [&main, &editor, list, programWide] {
            if (programWide)
                EditSpecList(main, editor, list);
            else
                EditAList(main, editor, list);
        });
    }
    main.provideCommand(QStringLiteral("MenuSaveDefaults"), [&main, &editor] { MenuSaveDefaultsClick(main, editor); });
    main.provideCommand(QStringLiteral("MenuLoadDefaults"), [&main, &editor] { MenuLoadDefaultsClick(main, editor); });
}

}  // namespace rv::gui
