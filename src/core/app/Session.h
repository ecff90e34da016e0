#pragma once
// The database session: everything the program holds about the collection it works on, and
// the sequences that open, switch, create, update and close it.  The main window turns menu
// commands into these calls and shows what they answer; the later windows (search,
// import/export, backup, reports) are written against this object, not against the window.
//
// A Session owns the settings record, the open video table, the display formats, the current
// database's paths (table, base path, .MDX, own configuration file), the sort expression and
// browse-only mode.  Each sequence is one call with one result: the error texts to show, in
// the order they arose, with nothing when all went through.  A step that fails does not stop
// the steps after it unless the call says so (a sort tag that cannot be built still leaves
// the table open in record order), so the caller shows every text of the result.
//
// Browse-only mode forces "Field Editing" off for as long as the run lasts, on every database
// the run opens; the value the database had is what its configuration file keeps.
//
// Commands: changes reach the file when a record is posted; endCommand() makes them durable
// and brings the .MDX up to date.  The windows call it once the user's action has been
// handled, the CLI at the end of its command.  Before the table is closed or reopened
// (switch, update, exclusive work, close) a record still being edited is posted first; when
// that post fails the sequence stops and answers its error.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/db/Table.h"

namespace rv::app {

// The record editor's data lists as a database switch saves and loads them.
class SessionLists {
public:
    virtual ~SessionLists() = default;
    virtual void SaveAllLists(const std::filesystem::path& basePath) = 0;
    virtual void LoadAllList(const std::filesystem::path& basePath) = 0;
    virtual void LoadDefaultList() = 0;
};

// How a database becomes the current one.
enum class SwitchKind {
    Open,     // File > Open Database
    New,      // File > New Database: default lists and the new-database settings
    Recent,   // one of the recent databases of the File menu
    StartUp,  // the database of the start-up, or the one chosen when it was not valid
};

// The commands that need the table to themselves, with the texts they show when another
// holder has it.
enum class ExclusiveCommand { Pack, Rebuild, SortOrder };
// "<what> requires exclusive use of the DBase File.  Make sure ..."
std::string exclusiveUseMessage(std::string_view what);
// The in-use text of a command: "Unable to pack table.  Packing requires exclusive use ...".
std::string inUseMessage(ExclusiveCommand command);

// "The settings could not be written to "<file>"."
std::string settingsNotWrittenMessage(const std::filesystem::path& file);

// The result of a session call: the texts to show, in the order they arose.  A refusal is
// the program's own message about the request (shown as an error box); a failure is an
// error the engine or the file system raised (shown under the program's title).
// `stopped` says the sequence ended early and left the current database as it was.
struct Outcome {
    enum class Kind { Refusal, Failure };
    struct Error {
        Kind kind = Kind::Failure;
        std::string text;
    };
    std::vector<Error> errors;
    bool stopped = false;

    bool ok() const { return errors.empty(); }
    void refuse(std::string text) { errors.push_back({Kind::Refusal, std::move(text)}); }
    void fail(std::string text) { errors.push_back({Kind::Failure, std::move(text)}); }
    void add(const Outcome& other) {
        errors.insert(errors.end(), other.errors.begin(), other.errors.end());
        stopped = stopped || other.stopped;
    }
};

// The message of Sort Order when the new order could not be put in place.
inline constexpr const char* kSortOrderFailedMessage =
    "Error in implementing sort order.  New sort order not implemented.";

// The result of start-up.
struct StartUpResult {
    enum class Status {
        Opened,         // the start-up database is current (its open may still have failed: errors)
        NotVideoTable,  // the start-up database is no video table: another must be chosen
        NoDatabase,     // no database could be found or created: the program ends
    };
    Status status = Status::NoDatabase;
    Outcome outcome;
};

// The result of an exclusive command.
struct ExclusiveResult {
    enum class Status {
        Done,        // the work ran (outcome may still hold the reopen's errors)
        PostFailed,  // a record being edited could not be posted: nothing was closed
        InUse,       // another holder has the table: outcome holds the in-use text
        Failed,      // the work raised an error: outcome holds it
    };
    Status status = Status::Done;
    Outcome outcome;
    bool done() const { return status == Status::Done; }
};

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // ---- State -----------------------------------------------------------------------
    Settings& settings() { return settings_; }
    const Settings& settings() const { return settings_; }
    rv::db::Table& table() { return table_; }
    DisplayFormats& formats() { return formats_; }
    const std::string& currentDatabase() const { return settings_.lastDatabase; }
    const std::filesystem::path& programFolder() const { return programFolder_; }
    const std::filesystem::path& basePath() const { return basePath_; }
    const std::filesystem::path& indexFilePath() const { return indexFilePath_; }
    const std::filesystem::path& configFilePath() const { return configFilePath_; }
    const std::string& sortExpression() const { return sortExpression_; }
    void setDataLists(SessionLists* lists) { lists_ = lists; }
    SessionLists* dataLists() const { return lists_; }

    // ---- Start-up --------------------------------------------------------------------
    // Creates the program folder and seeds the default lists on a first start, reads the
    // program settings, sets up the display formats, finds the start-up database (the last
    // one used, else MASTER.DBF in the program folder, created when missing), checks that it
    // is a video table and opens it shared with its sort tag.
    StartUpResult startUp();

    // ---- Databases -------------------------------------------------------------------
    // Why a file cannot be opened as a video table (also for a file that is no dBase table
    // at all), or nothing when it can.
    static std::optional<std::string> checkDatabase(const std::string& path);
    // Makes `path` the current database: ends a search in force, posts a pending edit
    // (stopping on failure), saves the settings and lists of the database left (not at
    // start-up), loads those of the new one, rebuilds its sort tag when no one else has it,
    // opens it shared and puts the one left at the top of the recent list.
    Outcome switchDatabase(const std::string& path, SwitchKind kind);
    // New Database: creates an empty video table at `path` (refused while another holder has
    // a file there) and switches to it.  The folder must exist.
    Outcome createDatabase(const std::string& path);
    // Update Database: posts a pending edit, writes the database's settings and reopens the
    // table; a search in force stays in force.
    Outcome updateDatabase();
    // Writes the current database's own settings (browse-only mode writes the kept "Field
    // Editing").  False when the file could not be written.
    [[nodiscard]] bool saveDatabaseSettings() const;
    // Writes both parts of the settings, as at the end of the run.  False when either file
    // could not be written.
    [[nodiscard]] bool saveAllSettings() const;
    // The settings as they are to be stored (browse-only mode: the kept "Field Editing").
    Settings storedSettings() const;
    // The sort expression from the settings' sort levels.
    void buildSortString();
    // The end of the run: posts a pending edit (its failure stops here, so the program can
    // stay open), makes the last changes durable, ends a search and writes both parts of
    // the settings.  The table closes when the session goes away.
    Outcome endRun();
    // A database copied into place by a restore becomes the current one: the table is closed
    // and pointed at `path`, the database left (when it is another file) writes its settings
    // and lists first, the companion paths follow and the one left goes to the top of the
    // recent list.  The settings in memory stay as they are and the table stays closed: the
    // caller builds the index in the current sort order and opens it.
    Outcome adoptDatabase(const std::string& path);
    // Reads the current database's own settings again, after its configuration file was
    // replaced (browse-only mode still forces "Field Editing" off).
    void reloadDatabaseSettings() { loadDatabaseSettings(SwitchKind::Open); }
    // Closes the table and opens it shared again, as after exclusive work.
    Outcome reopenShared();

    // ---- Commands --------------------------------------------------------------------
    // Posts a record that is being edited or inserted, as leaving the row would.  The error
    // of a post that fails (the record stays in its edit).
    Outcome postPending();
    // Makes the changes of the command that just ended durable and brings the .MDX up to date.
    Outcome endCommand();
    // Runs `work` on the table held exclusively: posts a pending edit, closes the table,
    // opens it exclusively (another holder gives the command's in-use text), runs the work
    // and opens the table shared again whatever happened.
    ExclusiveResult runExclusive(ExclusiveCommand command, const std::function<void(rv::db::Table&)>& work);
    // Sort Order: stores new sort levels and rebuilds the sort tag with the table held
    // exclusively; when that fails the old levels stay and sortFailed is set.
    struct SortOrderResult {
        ExclusiveResult exclusive;
        bool sortFailed = false;
    };
    SortOrderResult changeSortOrder(const std::array<std::int32_t, 4>& levels);

    // ---- Browse-only mode ------------------------------------------------------------
    // Turns browse-only mode on for the rest of the run: "Field Editing" is forced off now
    // and on every database opened later, and stored as it was.
    void setBrowseMode(bool on);
    bool browseMode() const { return browseMode_; }

    // ---- Search in force -------------------------------------------------------------
    // The search criteria and the record filter they make join the session here; until then
    // only the flag is kept (setSearchInForce sets the flag alone).  endSearch() lifts a
    // search: flag off, the table reopened with every record.  SearchPause lifts a search for the length of a scope (Update Database)
    // and puts it back at its end.
    bool searchInForce() const { return searchInForce_; }
    void setSearchInForce(bool on) { searchInForce_ = on; }
    Outcome endSearch();
    class SearchPause {
    public:
        explicit SearchPause(Session& session);
        ~SearchPause();
        SearchPause(const SearchPause&) = delete;
        SearchPause& operator=(const SearchPause&) = delete;
        bool paused() const { return paused_; }
        Outcome& outcome() { return outcome_; }

    private:
        Session& session_;
        bool paused_ = false;
        Outcome outcome_;
    };

private:
    void pointTableAt(const std::string& path);
    void loadDatabaseSettings(SwitchKind kind);
    void applyBrowseRule();
    Outcome openStartDatabase(const std::string& path);
    Outcome openShared();

    Settings settings_;
    rv::db::Table table_;
    DisplayFormats formats_;
    std::filesystem::path programFolder_;
    std::filesystem::path basePath_;
    std::filesystem::path indexFilePath_;
    std::filesystem::path configFilePath_;
    std::string sortExpression_;
    bool browseMode_ = false;
    bool savedFieldEditing_ = false;
    bool searchInForce_ = false;
    SessionLists* lists_ = nullptr;
};

}  // namespace rv::app
