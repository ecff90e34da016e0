#include "core/backup/BackupRestore.h"

#include <cstdio>
#include <optional>
#include <system_error>

#include "core/app/Paths.h"
#include "core/app/Session.h"
#include "core/backup/FileCopy.h"
#include "core/db/FieldCatalog.h"
#include "core/db/SortOrder.h"
#include "core/db/VideoTable.h"
#include "core/lists/DataLists.h"

namespace rv::backup {

namespace fs = std::filesystem;
using rv::db::Table;

namespace {

bool fileExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

fs::path folderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// The file name up to its first period.
std::string tableName(const fs::path& tablePath) { return app::basePath(tablePath).filename().string(); }

// The current database's table file as the engine found it (any letter case).
fs::path databaseFile(Host& host) {
    const fs::path& open = host.table().path();
    return open.empty() ? host.databasePath() : open;
}

void error(Feedback& out, const std::string& text) { out.show({"Error", text}); }

// The hourglass for one scope.
class Busy {
public:
    explicit Busy(Feedback& out) : out_(out) { out_.busy(true); }
    ~Busy() { end(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    void end() {
        if (on_) out_.busy(false);
        on_ = false;
    }

private:
    Feedback& out_;
    bool on_ = true;
};

// The video table for the length of an exclusive step: whatever way the step ends -- a
// message, a failure, an engine error -- the table goes back to shared use, a suspended
// search applies again and the table is open with the viewer configuration applied.
class TableBack {
public:
    TableBack(Host& host, bool searchSuspended) : host_(host), suspended_(searchSuspended) {}
    ~TableBack() {
        if (done_) return;
        try {
            reopen();
        } catch (...) {
            // Already on the way out with an error; that error is the one to report.
        }
    }
    TableBack(const TableBack&) = delete;
    TableBack& operator=(const TableBack&) = delete;

    void reopen() {
        done_ = true;
        Table& t = host_.table();
        t.close();
        t.setExclusive(false);
        t.open();
        if (suspended_) host_.resumeSearch();
        suspended_ = false;
        host_.tableReopened();
    }

private:
    Host& host_;
    bool suspended_;
    bool done_ = false;
};

// Opens the video table exclusively; false, with shared use set again, when another holder
// has it.  Any other engine error is passed on (the caller's TableBack reopens the table).
bool openExclusively(Table& t) {
    t.close();
    t.setExclusive(true);
    try {
        t.open();
        return true;
    } catch (const rv::db::TableInUseError&) {
        t.setExclusive(false);
        return false;
    }
}

}  // namespace

std::string listExtension(int number) {
    char extension[8];
    std::snprintf(extension, sizeof extension, ".%03d", number);
    return extension;
}

bool hasDatabaseListFile(int number) {
    return number >= 1 && number <= rv::lists::kListCount && rv::lists::listDef(number).perDatabase;
}

std::string backupInUseMessage() { return rv::app::exclusiveUseMessage("Backing up the database"); }

std::string missingFileMessage(const std::string& fileName) {
    return "The following file \"" + fileName + "\" could not be" + " located on the specified source drive.";
}

// ---- Backup ------------------------------------------------------------------------------

Outcome backup(Host& host, Feedback& out, Choice choice, const fs::path& folder) {
    switch (choice) {
        case Choice::Database: return backupDatabase(host, out, folder);
        case Choice::Lists: return backupLists(host, out, folder);
        case Choice::Configuration: return backupConfiguration(host, out, folder);
        case Choice::Reports: return backupReports(host, out, folder);
    }
    return Outcome::Stopped;
}

Outcome backupDatabase(Host& host, Feedback& out, const fs::path& folder) {
    const fs::path source = databaseFile(host);
    const fs::path destination = app::findFileNoCase(folder, tableName(source) + ".DBF");
    if (sameFile(source, destination)) {
        error(out, kBackupIdentical);
        return Outcome::Stopped;
    }
    const bool suspended = host.searchInForce();
    if (suspended) host.suspendSearch();
    TableBack back(host, suspended);
    Table& t = host.table();
    // The table stays open exclusively until the copy is made, so no other program can
    // change it half-way through the copy.
    if (!openExclusively(t)) {
        error(out, backupInUseMessage());
        back.reopen();
        return Outcome::Stopped;
    }
    if (!fitsOnDestination(source, destination)) {
        error(out, kBackupNoRoom);
        back.reopen();
        return Outcome::Stopped;
    }
    Busy busy(out);
    const bool copied = copyFile(source, destination);
    t.close();
    if (!copied) {
        busy.end();
        error(out, kBackupFailed);
        back.reopen();
        return Outcome::Stopped;
    }
    back.reopen();
    busy.end();
    out.show({"Notice", kBackupDone});
    return Outcome::Completed;
}

Outcome backupLists(Host& host, Feedback& out, const fs::path& folder) {
    Busy busy(out);
    host.saveAllLists();
    const fs::path database = databaseFile(host);
    const fs::path base = app::basePath(database);
    const std::string name = tableName(database);
    for (int number = 1; number <= rv::lists::kListCount; ++number) {
        if (!hasDatabaseListFile(number)) continue;
        const fs::path source = app::resolveNoCase(fs::path(base.string() + listExtension(number)));
        if (!fileExists(source)) continue;
        const fs::path destination = app::findFileNoCase(folder, name + listExtension(number));
        if (sameFile(source, destination)) {
            busy.end();
            error(out, kBackupIdentical);
            return Outcome::Stopped;
        }
        if (!copyFile(source, destination)) {
            busy.end();
            error(out, kBackupFailed);
            return Outcome::Stopped;
        }
    }
    busy.end();
    out.show({"Notice", kBackupDone});
    return Outcome::Completed;
}

Outcome backupConfiguration(Host& host, Feedback& out, const fs::path& folder) {
    Busy busy(out);
    host.saveDatabaseSettings();
    const fs::path database = databaseFile(host);
    const fs::path source = app::databaseConfigFile(database);
    if (fileExists(source)) {
        const fs::path destination = app::findFileNoCase(folder, tableName(database) + ".INI");
        if (sameFile(source, destination)) {
            busy.end();
            error(out, kBackupIdentical);
            return Outcome::Stopped;
        }
        if (!copyFile(source, destination)) {
            busy.end();
            error(out, kBackupFailed);
            return Outcome::Stopped;
        }
    }
    busy.end();
    out.show({"Notice", kBackupDone});
    return Outcome::Completed;
}

Outcome backupReports(Host& host, Feedback& out, const fs::path& folder) {
    const fs::path source = app::findFileNoCase(host.programFolder(), kReportsFileName);
    const fs::path destination = app::findFileNoCase(folder, kReportsFileName);
    if (sameFile(source, destination)) {
        error(out, kBackupReportsIdentical);
        return Outcome::Stopped;
    }
    if (!fitsOnDestination(source, destination)) {
        error(out, kBackupReportsNoRoom);
        return Outcome::Stopped;
    }
    Busy busy(out);
    if (!copyFile(source, destination)) {
        busy.end();
        error(out, kBackupFailed);
        return Outcome::Stopped;
    }
    busy.end();
    out.show({"Notice", kBackupDone});
    return Outcome::Completed;
}

// ---- Restore -----------------------------------------------------------------------------

Outcome restore(Host& host, Feedback& out, Choice choice, const fs::path& picked) {
    switch (choice) {
        case Choice::Database: return restoreDatabase(host, out, picked);
        case Choice::Lists: return restoreLists(host, out, picked);
        case Choice::Configuration: return restoreConfiguration(host, out, picked);
        case Choice::Reports: return restoreReports(host, out, picked);
    }
    return Outcome::Stopped;
}

Outcome restoreDatabase(Host& host, Feedback& out, const fs::path& picked) {
    // A database restore ends the search for good, even when it is then refused.
    if (host.searchInForce()) host.endSearch();
    const fs::path destination = app::findFileNoCase(host.programFolder(), picked.filename().string());
    if (sameFile(picked, destination)) {
        error(out, kRestoreIdentical);
        return Outcome::Stopped;
    }
    std::optional<std::string> problem;
    try {
        problem = rv::db::videoTableProblem(picked);
    } catch (const rv::db::DatabaseError& e) {
        problem = e.what();  // not a dBase table at all, or unreadable
    }
    if (problem) {
        error(out, *problem);
        return Outcome::Stopped;
    }
    Table& t = host.table();
    const bool overCurrent = sameFile(destination, databaseFile(host));
    // Another database of that name in the program folder that someone holds open would go
    // on being used under its old contents; it is refused like the current one.
    if (!overCurrent && fileExists(destination) && rv::db::DBaseInUse(destination)) {
        error(out, kRestoreInUse);
        return Outcome::Stopped;
    }
    std::optional<TableBack> back;
    // Over the current database the table is held exclusively until the copy is in place,
    // so nobody goes on writing into the database being replaced.
    if (overCurrent) {
        back.emplace(host, false);
        if (!openExclusively(t)) {
            error(out, kRestoreInUse);
            back->reopen();
            return Outcome::Stopped;
        }
    }
    if (!fitsOnDestination(picked, destination)) {
        error(out, kRestoreNoRoom);
        if (back) back->reopen();
        return Outcome::Stopped;
    }
    if (!back) back.emplace(host, false);
    Busy busy(out);
    const bool copied = copyFile(picked, destination);
    t.close();
    t.setExclusive(false);
    if (!copied) {
        // The copy never touched the destination: the previous database is as it was.
        busy.end();
        error(out, kRestoreFailed);
        back->reopen();
        return Outcome::Stopped;
    }
    host.makeCurrent(destination);
    // The backup carries no index: the old one goes and NewIndex is built in the current
    // sort order.
    std::error_code ec;
    const fs::path mdx = t.mdxPath();
    if (fs::exists(mdx, ec)) fs::remove(mdx, ec);
    rv::db::RemoveMDXByte(t.path());
    try {
        rv::db::rebuildSortTag(t, host.sortExpression());
    } catch (...) {
        t.setIndexName("");
        throw;
    }
    back->reopen();
    busy.end();
    out.show({"Notice", kRestoreDone});
    return Outcome::Completed;
}

Outcome restoreLists(Host& host, Feedback& out, const fs::path& picked) {
    Busy busy(out);
    const fs::path database = databaseFile(host);
    const fs::path from = folderOf(picked);
    const fs::path to = folderOf(database);
    const std::string name = tableName(database);
    bool missing = false;
    for (int number = 1; number <= rv::lists::kListCount; ++number) {
        if (!hasDatabaseListFile(number)) continue;
        const std::string fileName = name + listExtension(number);
        const fs::path source = app::findFileNoCase(from, fileName);
        const fs::path destination = app::findFileNoCase(to, fileName);
        if (sameFile(source, destination)) {
            busy.end();
            error(out, kRestoreIdentical);
            return Outcome::Stopped;
        }
        if (!fileExists(source)) {
            out.show({"Warning", missingFileMessage(fileName)});
            missing = true;
            continue;
        }
        if (!copyFile(source, destination)) {
            busy.end();
            error(out, kRestoreFailed);
            return Outcome::Stopped;
        }
    }
    busy.end();
    out.show({"Notice", missing ? kListsPartlyRestored : kListsRestored});
    host.listsRestored();
    return missing ? Outcome::Partial : Outcome::Completed;
}

Outcome restoreConfiguration(Host& host, Feedback& out, const fs::path& picked) {
    Busy busy(out);
    const fs::path database = databaseFile(host);
    // The name as the backup gave it: the table name, up to the first period.
    const std::string name = tableName(picked);
    const fs::path source = app::findFileNoCase(folderOf(picked), name + ".INI");
    const fs::path destination = app::findFileNoCase(folderOf(database), name + ".INI");
    if (sameFile(source, destination)) {
        busy.end();
        error(out, kRestoreIdentical);
        return Outcome::Stopped;
    }
    if (!fileExists(source)) {
        busy.end();
        out.show({"Warning", missingFileMessage(name + ".INI")});
        return Outcome::Stopped;
    }
    if (!copyFile(source, destination)) {
        busy.end();
        error(out, kRestoreFailed);
        return Outcome::Stopped;
    }
    if (rv::db::equalsNoCase(name, tableName(database))) host.configurationRestored();
    busy.end();
    out.show({"Notice", kConfigurationRestored});
    return Outcome::Completed;
}

Outcome restoreReports(Host& host, Feedback& out, const fs::path& picked) {
    const fs::path source = app::findFileNoCase(folderOf(picked), kReportsFileName);
    const fs::path destination = app::findFileNoCase(host.programFolder(), kReportsFileName);
    if (sameFile(source, destination)) {
        error(out, kRestoreIdentical);
        return Outcome::Stopped;
    }
    if (!fileExists(source)) {
        error(out, kReportsMissing);
        return Outcome::Stopped;
    }
    if (!fitsOnDestination(source, destination)) {
        error(out, kRestoreNoRoom);
        return Outcome::Stopped;
    }
    Busy busy(out);
    if (!copyFile(source, destination)) {
        busy.end();
        error(out, kRestoreFailed);
        return Outcome::Stopped;
    }
    busy.end();
    out.show({"Notice", kRestoreDone});
    return Outcome::Completed;
}

}  // namespace rv::backup
