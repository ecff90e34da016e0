#include "core/app/Session.h"

#include <stdexcept>
#include <system_error>

#include "core/app/MainRules.h"
#include "core/app/Paths.h"
#include "core/db/SortOrder.h"
#include "core/db/VideoTable.h"
#include "core/lists/DefaultLists.h"

namespace rv::app {

namespace fs = std::filesystem;
using rv::db::Table;

namespace {

bool fileExists(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_regular_file(p, ec);
}

// Runs one step; an error it raises is kept for the caller to show and the sequence goes on.
template <class Step>
bool attempt(Outcome& outcome, Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        outcome.fail(e.what());
        return false;
    }
}

}  // namespace

std::string settingsNotWrittenMessage(const fs::path& file) {
    return "The settings could not be written to \"" + file.string() + "\".";
}

std::string exclusiveUseMessage(std::string_view what) {
    return std::string(what) +
           " requires exclusive use of the DBase File.  Make sure that the DBase File is not in use by another "
           "program  or that no other users are running the software or that no other copies of the software "
           "are in use.";
}

std::string inUseMessage(ExclusiveCommand command) {
    switch (command) {
    case ExclusiveCommand::Pack: return "Unable to pack table.  " + exclusiveUseMessage("Packing");
    case ExclusiveCommand::Rebuild: return "Unable to reindex table.  " + exclusiveUseMessage("Reindexing");
    case ExclusiveCommand::SortOrder: return exclusiveUseMessage("Creating a new sort order");
    }
    return exclusiveUseMessage("This command");
}

// ---- Session ---------------------------------------------------------------------------------

Session::Session() { table_.setDateCodec(&formats_.date()); }

Session::~Session() { table_.setDateCodec(nullptr); }

StartUpResult Session::startUp() {
    StartUpResult result;
    // The program folder holds MASTER.DBF and the default list files; a first start creates
    // it and copies in the lists the program ships with.
    programFolder_ = programDir();
    // The current folder as the program found it, noted before any dialog can change it:
    // the import and export defaults and a new database's settings are found there.
    startFolder();
    std::error_code ec;
    fs::create_directories(programFolder_, ec);
    rv::lists::seedDefaultLists(programFolder_);
    // The program settings come first: they name the last database and the date format the
    // table's dates are read with.
    loadProgramSettings(settings_, programConfigFile(), startFolder());
    formats_ = DisplayFormats(settings_, IntlSettings{});
    table_.setDateCodec(&formats_.date());

    // The start-up database: the last one used, else MASTER.DBF in the program folder, made
    // empty when it is missing too.  Without any database the program cannot run.
    std::string path = settings_.lastDatabase;
    if (!fileExists(path)) {
        path = findFileNoCase(programFolder_, "MASTER.DBF").string();
        if (!fileExists(path)) {
            bool made = false;
            attempt(result.outcome, [&] {
                if (auto problem = rv::db::makeNewVideoTable(path))
                    result.outcome.refuse(*problem);
                else
                    made = fileExists(path);
            });
            if (!made) {
                result.status = StartUpResult::Status::NoDatabase;
                return result;
            }
        }
    }

    // A file that is no video table is not opened: the user is asked for another one.
    std::optional<std::string> problem;
    if (!attempt(result.outcome, [&] { problem = checkDatabase(path); })) problem = std::string();
    if (problem) {
        if (!problem->empty()) result.outcome.refuse(*problem);
        settings_.lastDatabase = path;
        result.status = StartUpResult::Status::NotVideoTable;
    } else {
        result.outcome.add(openStartDatabase(path));
        result.status = StartUpResult::Status::Opened;
    }

    // The locale's currency, number and date conventions for the formats of "Windows Setting".
    formats_.setIntl(readIntlSettings());
    return result;
}

std::optional<std::string> Session::checkDatabase(const std::string& path) {
    try {
        return rv::db::videoTableProblem(path);
    } catch (const rv::db::DatabaseError& e) {
        // Not a dBase table at all (or unreadable): it cannot be opened either.
        return std::string(e.what());
    }
}

void Session::pointTableAt(const std::string& path) {
    settings_.lastDatabase = path;
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    if (ec) full = path;
    table_.setPath(full);
    indexFilePath_ = table_.mdxPath();
}

void Session::applyBrowseRule() {
    if (!browseMode_) return;
    savedFieldEditing_ = settings_.fieldEditing;
    settings_.fieldEditing = false;
}

void Session::setBrowseMode(bool on) {
    if (on == browseMode_) return;
    if (on) {
        browseMode_ = true;
        applyBrowseRule();
    } else {
        settings_.fieldEditing = savedFieldEditing_;
        browseMode_ = false;
    }
}

void Session::loadDatabaseSettings(SwitchKind kind) {
    if (kind == SwitchKind::New)
        loadNewDatabaseSettings(settings_);
    else
        rv::app::loadDatabaseSettings(settings_, configFilePath_, programConfigFile());
    applyBrowseRule();
}

void Session::buildSortString() { sortExpression_ = rv::db::BuildSortString(settings_.sortLevels); }

Outcome Session::openShared() {
    Outcome outcome;
    attempt(outcome, [&] {
        table_.setExclusive(false);
        table_.open();
    });
    return outcome;
}

Outcome Session::openStartDatabase(const std::string& path) {
    Outcome outcome;
    table_.close();
    pointTableAt(path);
    configFilePath_ = databaseConfigFile(table_.path());
    basePath_ = table_.basePath();
    loadDatabaseSettings(SwitchKind::StartUp);
    buildSortString();
    // The sort tag as the index file has it; a missing or unreadable index file is made anew
    // from the database's sort order.
    attempt(outcome, [&] {
        try {
            rv::db::openSortTag(table_, sortExpression_);
        } catch (...) {
            // Without its tag the table still opens, in record order.
            table_.setIndexName("");
            throw;
        }
    });
    outcome.add(openShared());
    return outcome;
}

Outcome Session::switchDatabase(const std::string& newPath, SwitchKind kind) {
    Outcome outcome = postPending();
    if (outcome.stopped) return outcome;
    if (searchInForce_) outcome.add(endSearch());
    if (outcome.stopped) return outcome;
    const std::string previous = settings_.lastDatabase;
    table_.close();
    pointTableAt(newPath);
    // The database left keeps its settings and lists in its own files (its configuration
    // file and base path are still the old ones here).
    if (kind != SwitchKind::StartUp) {
        if (!configFilePath_.empty() && !saveDatabaseSettings()) outcome.fail(settingsNotWrittenMessage(configFilePath_));
        if (lists_ && !basePath_.empty()) lists_->SaveAllLists(basePath_);
    }
    configFilePath_ = databaseConfigFile(table_.path());
    basePath_ = table_.basePath();
    if (lists_) {
        if (kind == SwitchKind::New)
            lists_->LoadDefaultList();
        else
            lists_->LoadAllList(basePath_);
    }
    loadDatabaseSettings(kind);
    buildSortString();
    // The tag is rebuilt from the database's sort order, unless someone else has the table
    // (then the index stays as that holder keeps it and the selection as it was).
    if (kind == SwitchKind::New || !rv::db::DBaseInUse(table_.path())) {
        attempt(outcome, [&] {
            try {
                rv::db::rebuildSortTag(table_, sortExpression_);
            } catch (...) {
                table_.setIndexName("");
                throw;
            }
        });
    }
    outcome.add(openShared());
    doLastFiles(settings_.recentDatabases, previous, newPath);
    return outcome;
}

Outcome Session::adoptDatabase(const std::string& path) {
    Outcome outcome;
    const std::string previous = settings_.lastDatabase;
    table_.close();
    std::error_code ec;
    if (!fs::equivalent(previous, path, ec)) {
        if (!configFilePath_.empty() && !saveDatabaseSettings()) outcome.fail(settingsNotWrittenMessage(configFilePath_));
        if (lists_ && !basePath_.empty()) lists_->SaveAllLists(basePath_);
    }
    pointTableAt(path);
    configFilePath_ = databaseConfigFile(table_.path());
    basePath_ = table_.basePath();
    doLastFiles(settings_.recentDatabases, previous, path);
    return outcome;
}

Outcome Session::createDatabase(const std::string& path) {
    Outcome outcome = postPending();
    if (outcome.stopped) return outcome;
    if (searchInForce_) outcome.add(endSearch());
    if (outcome.stopped) return outcome;
    if (auto problem = missingFolderProblem(path)) {
        outcome.refuse(*problem);
        outcome.stopped = true;
        return outcome;
    }
    bool made = false;
    attempt(outcome, [&] {
        if (auto problem = rv::db::makeNewVideoTable(path))
            outcome.refuse(*problem);
        else
            made = fileExists(path);
    });
    if (!made) {
        outcome.stopped = true;
        return outcome;
    }
    outcome.add(switchDatabase(path, SwitchKind::New));
    return outcome;
}

Outcome Session::updateDatabase() {
    Outcome outcome = postPending();
    if (outcome.stopped) return outcome;
    {
        // The search is lifted while the settings are written and the table closed, and in
        // force again when the table reopens, so it applies to the reopened table.
        SearchPause pause(*this);
        outcome.add(pause.outcome());
        if (outcome.stopped) return outcome;
        if (!configFilePath_.empty() && !saveDatabaseSettings()) outcome.fail(settingsNotWrittenMessage(configFilePath_));
        table_.close();
    }
    attempt(outcome, [&] { table_.open(); });
    return outcome;
}

Settings Session::storedSettings() const {
    Settings stored = settings_;
    if (browseMode_) stored.fieldEditing = savedFieldEditing_;
    return stored;
}

bool Session::saveDatabaseSettings() const {
    if (configFilePath_.empty()) return true;
    return rv::app::saveDatabaseSettings(storedSettings(), configFilePath_);
}

bool Session::saveAllSettings() const {
    const Settings stored = storedSettings();
    const bool program = saveProgramSettings(stored, programConfigFile());
    const bool database = configFilePath_.empty() || rv::app::saveDatabaseSettings(stored, configFilePath_);
    return program && database;
}

Outcome Session::endRun() {
    Outcome outcome = postPending();
    if (outcome.stopped) return outcome;
    outcome.add(endCommand());
    searchInForce_ = false;
    if (!saveAllSettings()) outcome.fail(settingsNotWrittenMessage(programConfigFile()));
    return outcome;
}

Outcome Session::reopenShared() {
    Outcome outcome;
    attempt(outcome, [&] {
        table_.close();
        table_.setExclusive(false);
        table_.open();
    });
    return outcome;
}

// ---- Commands ---------------------------------------------------------------------------------

Outcome Session::postPending() {
    Outcome outcome;
    if (!table_.isOpen()) return outcome;
    const Table::State state = table_.state();
    if (state != Table::State::Edit && state != Table::State::Insert) return outcome;
    if (!attempt(outcome, [&] { table_.post(); })) outcome.stopped = true;
    return outcome;
}

Outcome Session::endCommand() {
    Outcome outcome;
    if (table_.isOpen()) attempt(outcome, [&] { table_.flush(); });
    return outcome;
}

ExclusiveResult Session::runExclusive(ExclusiveCommand command, const std::function<void(Table&)>& work) {
    ExclusiveResult result;
    result.outcome = postPending();
    if (result.outcome.stopped) {
        result.status = ExclusiveResult::Status::PostFailed;
        return result;
    }
    table_.close();
    table_.setExclusive(true);
    try {
        table_.open();
    } catch (const rv::db::TableInUseError&) {
        result.outcome.add(reopenShared());
        result.outcome.refuse(inUseMessage(command));
        result.status = ExclusiveResult::Status::InUse;
        return result;
    } catch (const std::exception& e) {
        // A damaged or missing file is reported as what it is, not as "in use".
        const std::string error = e.what();
        result.outcome.add(reopenShared());
        result.outcome.fail(error);
        result.status = ExclusiveResult::Status::Failed;
        return result;
    }
    try {
        work(table_);
    } catch (const std::exception& e) {
        // The table goes back to shared use whatever happened; the error is shown after.
        const std::string error = e.what();
        result.outcome.add(reopenShared());
        result.outcome.fail(error);
        result.status = ExclusiveResult::Status::Failed;
        return result;
    }
    result.outcome.add(reopenShared());
    return result;
}

Session::SortOrderResult Session::changeSortOrder(const std::array<std::int32_t, 4>& levels) {
    SortOrderResult result;
    const auto kept = settings_.sortLevels;
    result.exclusive = runExclusive(ExclusiveCommand::SortOrder, [&](Table& table) {
        settings_.sortLevels = levels;
        buildSortString();
        // The tag is rebuilt on the closed table, which takes it exclusively again.
        table.close();
        rv::db::rebuildSortTag(table, sortExpression_);
        if (!saveDatabaseSettings()) throw std::runtime_error(settingsNotWrittenMessage(configFilePath_));
    });
    if (result.exclusive.status == ExclusiveResult::Status::Failed) {
        // The engine's text gives way to the window's own message; the old order stays.
        result.exclusive.outcome.errors.pop_back();
        result.exclusive.outcome.refuse(kSortOrderFailedMessage);
        result.sortFailed = true;
        settings_.sortLevels = kept;
        buildSortString();
    }
    return result;
}

// ---- Search in force --------------------------------------------------------------------------

Outcome Session::endSearch() {
    Outcome outcome = postPending();
    if (outcome.stopped) return outcome;
    searchInForce_ = false;
    // The search criteria are dropped and the record filter lifted here.
    if (table_.isOpen()) {
        table_.close();
        attempt(outcome, [&] { table_.open(); });
    }
    return outcome;
}

Session::SearchPause::SearchPause(Session& session) : session_(session) {
    if (!session_.searchInForce_) return;
    outcome_ = session_.endSearch();
    paused_ = !outcome_.stopped;
}

Session::SearchPause::~SearchPause() {
    if (paused_) session_.searchInForce_ = true;
}

}  // namespace rv::app
