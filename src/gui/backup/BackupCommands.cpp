#include "gui/backup/BackupCommands.h"

#include <optional>

#include "gui/backup/TMyBackup.h"
#include "gui/backup/TMyRestore.h"
#include "gui/common/MainHost.h"
#include "gui/common/ShowOutcome.h"

namespace rv::gui {

namespace fs = std::filesystem;

namespace {

class SessionHost : public rv::backup::Host {
public:
    explicit SessionHost(MainHost& main) : main_(main), session_(main.session()) {}

    fs::path databasePath() const override { return session_.currentDatabase(); }
    fs::path programFolder() const override { return session_.programFolder(); }
    rv::db::Table& table() override { return session_.table(); }
    std::string sortExpression() const override { return session_.sortExpression(); }

    bool searchInForce() const override { return session_.searchInForce(); }
    // A backup lifts the search while the table is held and puts it back afterwards.
    void suspendSearch() override {
        pause_.emplace(session_);
        show(pause_->outcome());
    }
    void resumeSearch() override { pause_.reset(); }
    void endSearch() override { show(session_.endSearch()); }
    void tableReopened() override { main_.SetViewerOptions(); }

    void saveAllLists() override {
        if (auto* lists = session_.dataLists()) lists->SaveAllLists(session_.basePath());
    }
    void saveDatabaseSettings() override {
        if (!session_.saveDatabaseSettings())
            show(failure(rv::app::settingsNotWrittenMessage(session_.configFilePath())));
    }
    void makeCurrent(const fs::path& tablePath) override {
        show(session_.adoptDatabase(tablePath.string()));
        main_.databaseChanged();
    }
    void listsRestored() override {
        if (auto* lists = session_.dataLists()) lists->LoadAllList(session_.basePath());
    }
    void configurationRestored() override {
        session_.reloadDatabaseSettings();
        main_.DoFileSpecific();
    }

private:
    void show(const rv::app::Outcome& outcome) { showOutcome(main_.widget(), outcome); }
    static rv::app::Outcome failure(std::string text) {
        rv::app::Outcome outcome;
        outcome.fail(std::move(text));
        return outcome;
    }

    MainHost& main_;
    rv::app::Session& session_;
    std::optional<rv::app::Session::SearchPause> pause_;
};

}  // namespace

std::unique_ptr<rv::backup::Host> mainBackupHost(MainHost& main) { return std::make_unique<SessionHost>(main); }

void DoBackup(MainHost& main) {
    auto host = mainBackupHost(main);
    TMyBackup window(*host, main.settings(), main.widget());
    window.setPlacement([&main](QWidget* w) { main.PlaceDialog(w); });
    window.exec();
}

void DoRestore(MainHost& main) {
    auto host = mainBackupHost(main);
    TMyRestore window(*host, main.settings(), main.widget());
    window.setPlacement([&main](QWidget* w) { main.PlaceDialog(w); });
    window.exec();
    main.DisplayCount();
}

void installBackupCommands(MainHost& main) {
    main.provideCommand(QStringLiteral("MenuBackup"), [&main] { DoBackup(main); });
    main.provideCommand(QStringLiteral("MenuRestore"), [&main] { DoRestore(main); });
}

}  // namespace rv::gui
