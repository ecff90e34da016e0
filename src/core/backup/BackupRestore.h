#pragma once
// Backup and restore: one kind of file per run -- the current database's table, its data
// lists, its configuration file, or the program's report definitions -- copied whole under
// its own name into a folder the user picked, and copied back from such a folder.
//
// The steps, checks and messages are the same for the Backup and Restore windows and for
// reelvane-cli; what they need of the running program (the current database, the open video
// table, the search in force, the data lists and settings in memory, the message boxes) comes
// through a Host.  Every copy goes through copyFile (FileCopy.h), so a failed copy never
// harms the file it was to replace.
//
// Names: the table name is the table file's name up to its first period; a backup is named
// table name + ".DBF" / ".INI" / the list extension, and "RVLVID.URP".  Files of a fixed name
// are found in any letter case, and a destination that already exists in another letter case
// is the file replaced.  Lists 14 (Oscar names) and 17 (Miscellaneous) have no database list
// file, so neither backup nor restore looks for them.

#include <filesystem>
#include <string>

#include "core/db/Table.h"

namespace rv::backup {

enum class Choice { Database, Lists, Configuration, Reports };

// How a run ended: Completed with its success message; Partial when it went through to the
// end but some files were missing (a data-list restore); Stopped by a check or a failure.
// The windows turn "&Cancel" into "&Close" after Completed and Partial runs.
enum class Outcome { Completed, Partial, Stopped };

// A message box: title "Error", "Warning" or "Notice", and its text (Windows-1252).
struct Notice {
    std::string title;
    std::string text;
};

// What backup and restore need of the running program.
class Host {
public:
    virtual ~Host() = default;

    // The current database's table file, and the program folder (RVLVID.URP, restored
    // databases).
    virtual std::filesystem::path databasePath() const = 0;
    virtual std::filesystem::path programFolder() const = 0;
    // The video table, pointed at the current database; open shared between commands.
    virtual rv::db::Table& table() = 0;
    // The current sort expression (the key of NewIndex; "" for record order).
    virtual std::string sortExpression() const = 0;

    // The search in force.  Suspending stops it from applying (its criteria are kept) and
    // resuming makes it apply to the open table again; ending it stops it for good.
    virtual bool searchInForce() const { return false; }
    virtual void suspendSearch() {}
    virtual void resumeSearch() {}
    virtual void endSearch() {}
    // The table was opened again: the viewer configuration is applied to it.
    virtual void tableReopened() {}

    // Writes the data lists in memory to the database's list files, and the database's
    // settings to its configuration file (a backup takes the files as they are in memory).
    virtual void saveAllLists() {}
    virtual void saveDatabaseSettings() {}

    // A restored database becomes the current one: its path is the current and last-used
    // database path, the window caption and the recent list follow.  Afterwards table() is
    // pointed at it, closed.  The settings in memory stay as they are.
    virtual void makeCurrent(const std::filesystem::path& tablePath) = 0;
    // The current database's list files were restored: load them into the data lists.
    virtual void listsRestored() {}
    // The current database's configuration file was restored: read its settings again and
    // apply them (fonts, viewer configuration, colours, record count).
    virtual void configurationRestored() {}

};

// Where a run shows itself: the message boxes and the hourglass cursor.
class Feedback {
public:
    virtual ~Feedback() = default;
    // Shows a message box with OK; the run goes on when it returns.
    virtual void show(const Notice& notice) = 0;
    // The hourglass cursor on or off.
    virtual void busy(bool on) { (void)on; }
};

// ".001" ... ".017": a list number as a file extension.
std::string listExtension(int number);
// True for the list numbers that have a database list file (all but 14 and 17).
bool hasDatabaseListFile(int number);

// The backup of one kind into `folder`.
Outcome backup(Host& host, Feedback& out, Choice choice, const std::filesystem::path& folder);
Outcome backupDatabase(Host& host, Feedback& out, const std::filesystem::path& folder);
Outcome backupLists(Host& host, Feedback& out, const std::filesystem::path& folder);
Outcome backupConfiguration(Host& host, Feedback& out, const std::filesystem::path& folder);
Outcome backupReports(Host& host, Feedback& out, const std::filesystem::path& folder);

// The restore of one kind from the file picked in the open dialog.  A database is restored
// into the program folder and becomes current; data lists and a configuration file are
// restored into the current database's folder (where that database reads them); report
// definitions into the program folder.
Outcome restore(Host& host, Feedback& out, Choice choice, const std::filesystem::path& picked);
Outcome restoreDatabase(Host& host, Feedback& out, const std::filesystem::path& picked);
Outcome restoreLists(Host& host, Feedback& out, const std::filesystem::path& picked);
Outcome restoreConfiguration(Host& host, Feedback& out, const std::filesystem::path& picked);
Outcome restoreReports(Host& host, Feedback& out, const std::filesystem::path& picked);

// The report definitions file of the program folder.
inline constexpr const char* kReportsFileName = "RVLVID.URP";

// ---- Messages ----------------------------------------------------------------------------
inline constexpr const char* kBackupIdentical =
    "Destination File and Source File are identical.  You cannot copy a file  over top of itself.  Please choose "
    "a different directory/folder to backup to.";
inline constexpr const char* kBackupReportsIdentical =
    "Destination File and Source File are identical.  You cannot copy a file  over top of itself.  Please choose "
    "a different directory to backup to.";
inline constexpr const char* kBackupNoRoom =
    "There is not enough room on the destination drive to perform a backup.  If you are already using blank empty "
    "media, then you will need to use the ASCII Delimited Import/Export functions for backup and restore purposes.";
inline constexpr const char* kBackupReportsNoRoom =
    "There is not enough room on the destination drive to backup this file.  You will need to free up space on the "
    "destination drive or use an alternative method to backup the \"RVLVID.URP\" file.";
inline constexpr const char* kBackupFailed = "An error occurred during backup.  Backup not completed.";
inline constexpr const char* kBackupDone = "Backup completed successfully.";
// "Backing up the database requires exclusive use of the DBase File.  Make sure ..."
std::string backupInUseMessage();

inline constexpr const char* kRestoreIdentical =
    "Destination File and Source File are identical.  You cannot copy a file  over top of itself.  Please choose "
    "a different directory/folder to restore from.";
inline constexpr const char* kRestoreInUse =
    "Unable to restore the database.  Make sure the database is not in use by any other users or by another copy "
    "of the software.";
inline constexpr const char* kRestoreNoRoom =
    "There is not enough room on the destination drive to perform a restore.  You will need to free up hard drive "
    "space before completing the restore.";
inline constexpr const char* kRestoreFailed = "An error occurred during restore.  Restore not completed.";
inline constexpr const char* kRestoreDone = "Restore completed successfully.";
inline constexpr const char* kListsRestored = "ALL proper \"Data List\" files restored successfully.";
inline constexpr const char* kListsPartlyRestored =
    "One or more files were not restored.  Restore may not have completed successfully.";
inline constexpr const char* kConfigurationRestored = "Configuration File restored successfully.";
inline constexpr const char* kReportsMissing =
    "The Report Definitions file \"RVLVID.URP\" could not be  located on the specified source drive.";
// "The following file "<name>" could not be located on the specified source drive."
std::string missingFileMessage(const std::string& fileName);

}  // namespace rv::backup
