// The backup and restore subcommands: the Backup and Restore windows' runs, with their
// messages printed (notices on standard output, warnings and errors on standard error).
#include <iostream>
#include <system_error>

#include "cli/Cli.h"
#include "core/app/Paths.h"
#include "core/app/Settings.h"
#include "core/backup/BackupRestore.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"

namespace rv::cli {

namespace {

namespace fs = std::filesystem;

backup::Choice choiceFrom(const ParsedArgs& a) {
    if (!a.has("--what")) throw UsageError("--what db|lists|ini|reports is needed");
    const std::string& what = a.options.at("--what");
    if (what == "db") return backup::Choice::Database;
    if (what == "lists") return backup::Choice::Lists;
    if (what == "ini") return backup::Choice::Configuration;
    if (what == "reports") return backup::Choice::Reports;
    throw UsageError("--what takes db, lists, ini or reports, not \"" + what + "\"");
}

bool fileExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

fs::path full(const fs::path& p) {
    std::error_code ec;
    fs::path out = fs::absolute(p, ec);
    return ec ? p : out;
}

// The running program for one command: the current database, its table and its sort order.
class CliHost : public backup::Host, public backup::Feedback {
public:
    CliHost(const fs::path& database, std::string sortExpression)
        : database_(full(database)), program_(app::programDir()), sort_(std::move(sortExpression)) {
        // The table stays closed: the runs open it where they need it, and the command ends
        // with it open as the window would.
        table_.setPath(database_);
    }

    fs::path databasePath() const override { return database_; }
    fs::path programFolder() const override { return program_; }
    db::Table& table() override { return table_; }
    std::string sortExpression() const override { return sort_; }
    void makeCurrent(const fs::path& tablePath) override {
        database_ = tablePath;
        table_.close();
        table_.setPath(tablePath);
        madeCurrent_ = true;
    }
    void show(const backup::Notice& notice) override {
        (notice.title == "Notice" ? std::cout : std::cerr) << toTerminal(notice.text) << "\n";
    }
    bool madeCurrent() const { return madeCurrent_; }

private:
    fs::path database_;
    fs::path program_;
    db::Table table_;
    std::string sort_;
    bool madeCurrent_ = false;
};

int exitCode(backup::Outcome outcome) { return outcome == backup::Outcome::Completed ? 0 : 1; }

}  // namespace

int cmdBackup(const std::vector<std::string>& args) {
    const ParsedArgs a = parseArgs(args, {"--what"});
    if (a.positional.size() > 2) throw UsageError("unexpected argument \"" + a.positional[2] + "\"");
    const fs::path database = a.at(0);
    const fs::path folder = a.at(1);
    const backup::Choice choice = choiceFrom(a);
    CliHost host(database, "");
    if (choice != backup::Choice::Reports && !fileExists(host.table().path()))
        throw CommandError("The database \"" + database.string() + "\" does not exist.");
    return exitCode(backup::backup(host, host, choice, folder));
}

int cmdRestore(const std::vector<std::string>& args) {
    const ParsedArgs a = parseArgs(args, {"--what", "--db"});
    if (a.positional.size() > 1) throw UsageError("unexpected argument \"" + a.positional[1] + "\"");
    const fs::path picked = full(a.at(0));
    const backup::Choice choice = choiceFrom(a);

    // The current database as at program start: the one named, else the last database of
    // RVLVID.INI, else MASTER.DBF in the program folder (created when missing).
    app::Settings settings;
    const fs::path programIni = app::programConfigFile();
    app::loadProgramSettings(settings, programIni, app::startFolder());
    fs::path database;
    if (a.has("--db")) {
        database = a.options.at("--db");
        if (!fileExists(database)) throw CommandError("The database \"" + database.string() + "\" does not exist.");
    } else {
        database = settings.lastDatabase;
        if (database.empty() || !fileExists(database)) {
            database = app::findFileNoCase(app::programDir(), "MASTER.DBF");
            if (!fileExists(database)) {
                std::error_code ec;
                fs::create_directories(app::programDir(), ec);
                if (auto refused = db::makeNewVideoTable(database)) throw CommandError(toTerminal(*refused));
            }
        }
    }
    // The sort order in force is the current database's own.
    app::loadDatabaseSettings(settings, app::databaseConfigFile(database), programIni);
    CliHost host(database, db::BuildSortString(settings.sortLevels));
    const backup::Outcome outcome = backup::restore(host, host, choice, picked);
    if (host.madeCurrent()) {
        settings.lastDatabase = host.databasePath().string();
        if (!app::saveProgramSettings(settings, programIni))
            throw CommandError("The configuration file \"" + programIni.string() + "\" could not be written.");
    }
    return exitCode(outcome);
}

}  // namespace rv::cli
