#include "gui/backup/BackupCommands.h"

#include "gui/app/TMain.h"
#include "gui/backup/TMyBackup.h"
#include "gui/backup/TMyRestore.h"
#include "gui/edit/TMyEdit.h"

namespace rv::gui {

namespace fs = std::filesystem;

namespace {

class MainHost : public rv::backup::Host {
public:
    explicit MainHost(TMain& main) : main_(main) {}

    fs::path databasePath() const override { return main_.currentDatabase(); }
    fs::path programFolder() const override { return main_.programFolder(); }
    rv::db::Table& table() override { return main_.table(); }
    std::string sortExpression() const override { return main_.sortExpression(); }

    bool searchInForce() const override { return main_.searchInForce(); }
    void suspendSearch() override { main_.DoEndSearch(); }
    void resumeSearch() override { main_.EnableEndSearch(); }
    void endSearch() override { main_.DoEndSearch(); }
    void tableReopened() override { main_.SetViewerOptions(); }

    void saveAllLists() override {
        if (TMyEdit* editor = recordEditor(main_)) editor->SaveAllLists(main_.basePath());
    }
    void saveDatabaseSettings() override { main_.SaveDatabaseSettings(); }
    void makeCurrent(const fs::path& tablePath) override { main_.MakeCurrentDatabase(tablePath.string()); }
    void listsRestored() override {
        if (TMyEdit* editor = recordEditor(main_)) editor->LoadAllList(main_.basePath());
    }
    void configurationRestored() override { main_.ReloadDatabaseSettings(); }

private:
    TMain& main_;
};

}  // namespace

std::unique_ptr<rv::backup::Host> mainBackupHost(TMain& main) { return std::make_unique<MainHost>(main); }

void DoBackup(TMain& main) {
    auto host = mainBackupHost(main);
    TMyBackup window(*host, main.settings(), &main);
    window.setPlacement([&main](QWidget* w) { main.PlaceDialog(w); });
    window.exec();
}

void DoRestore(TMain& main) {
    auto host = mainBackupHost(main);
    TMyRestore window(*host, main.settings(), &main);
    window.setPlacement([&main](QWidget* w) { main.PlaceDialog(w); });
    window.exec();
    main.DisplayCount();
}

void installBackupCommands(TMain& main) {
    main.provideCommand(QStringLiteral("MenuBackup"), [&main] { DoBackup(main); });
    main.provideCommand(QStringLiteral("MenuRestore"), [&main] { DoRestore(main); });
}

}  // namespace rv::gui
