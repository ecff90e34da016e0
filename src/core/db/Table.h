#pragma once
// The table engine: one dBase table file (.DBF) with its production index (.MDX).
//
// A Table object is pointed at a file, opened shared or exclusively, walked and edited, and
// closed again; each open database is one Table, and short-lived ones check or create table
// files (VideoTable.h).  Every failure arrives as a DatabaseError.
//
// Files: dBase version 0x03, Windows-1252 text (new tables carry language driver 0x03; any
// other driver byte is read as Windows-1252 too), C / N / D fields, deletion flag per record,
// 0x1A end marker.  Tables written by other dBase tools open too (their values read as
// text).  Empty numbers and dates are stored blank and read as "".  Bytes after the records
// the header counts (an interrupted append, padding) are ignored and overwritten by the next
// append; a file too short for its count opens read-only.
//
// Sharing: several processes may hold a table shared; an exclusive open fails with
// TableInUseError while anyone else holds it (another process or another Table in this
// process).  Appends from several holders never overwrite each other.  A posted record is in
// the file when post() returns; flush() makes everything durable (call it once at the end of
// a command or an import batch).  pack() writes the packed table beside the old one and
// renames it into place.  A file another program shortens while it is open raises
// DatabaseError at the next access to the records it lost.
//
// Order: the records are read in the order of the selected index tag (its key expression is
// evaluated over the records when the order is first needed and kept current in memory while
// records change), or in record-number order when no tag is selected.  Deleted records and,
// while a record filter is installed, records the filter rejects are skipped by every walk,
// count and row.  The .MDX file is rewritten from the records by flush()/close() after
// changes.  The file itself is TableFile.h's, the order RecordOrder.h's.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/DatabaseError.h"
#include "core/db/Date.h"
#include "core/db/FieldCatalog.h"

namespace rv::db {

// One field of a table to be created.
struct FieldSpec {
    std::string name;                  // 1..10 characters; the header stores it in upper case
    FieldKind kind = FieldKind::Text;  // text "C", whole number / money "N", date "D"
    int width = 0;                     // text: 1..254 characters; ignored for the other kinds
};

// One field of an open table as its header describes it.
struct FieldInfo {
    std::string name;  // as stored in the header (upper case for tables written here)
    char type = 'C';   // dBase type letter: C, N, F, D, L, M ...
    int length = 0;    // bytes in the record
    int decimals = 0;
    int offset = 0;    // byte offset within the record; byte 0 is the deletion flag
};

// Numeric layout of the kinds this engine creates: whole numbers N(11,0), money N(15,2).
inline constexpr int kWholeWidth = 11;
inline constexpr int kMoneyWidth = 15;
inline constexpr int kMoneyDecimals = 2;

class Table {
public:
    enum class State { Inactive, Browse, Edit, Insert };
    // Notifications for displays over the table (the viewer grid):
    //  DataChanged  - records were added, changed, deleted, reordered or refiltered;
    //  RecordMoved  - the current record changed;
    //  Reopened     - the table was opened (again): field layout, order and rows may all differ;
    //  Closed       - the table was closed.
    enum class Event { DataChanged, RecordMoved, Reopened, Closed };
    using Listener = std::function<void(Event)>;
    // A record filter: called with the table positioned on the candidate record (read its
    // fields with asString etc.); true keeps the record.
    using Filter = std::function<bool(Table&)>;

    Table();
    ~Table();  // closes the table (an unposted edit is cancelled)
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // ---- Location and opening --------------------------------------------------------
    // Points the (closed) table at a .DBF file.  The base path is the folder plus the file
    // name up to its first period; companion files (.MDX, .INI, .001 ...) are base path +
    // extension, found whatever the letter case of their names.  When the file named does
    // not exist, base path + ".DBF" is looked for case-insensitively.
    void setPath(const std::filesystem::path& dbfPath);
    const std::filesystem::path& path() const;   // the table file
    std::filesystem::path basePath() const;      // folder / name up to the first period
    std::string tableName() const;               // file name up to the first period
    // base path + extension (".MDX", ".INI", ...): the existing file of any letter case, else
    // the name with the extension as given.
    std::filesystem::path companionPath(std::string_view extension) const;
    std::filesystem::path mdxPath() const { return companionPath(".MDX"); }

    void setExclusive(bool exclusive);  // takes effect at the next open
    bool exclusive() const;
    void setReadOnly(bool readOnly);    // takes effect at the next open
    bool readOnly() const;

    // Opens the table and makes the first record (in the current order) current.  Raises
    // DatabaseError for a missing or damaged file, TableInUseError when the sharing asked for
    // cannot be had.  A table whose file is too short for the records its header counts opens
    // read-only; problem() then says why and every change raises DatabaseError.  Opening an
    // exclusive table also removes the temporary index files of writers that died.
    void open();
    void close();
    bool isOpen() const;
    bool isWritable() const;            // open, not read-only and not damaged
    const std::string& problem() const; // why an open table is read-only against the request, or ""

    // Creates an empty table with the given fields in that order and no index, replacing an
    // existing file of that name (and the old table's .MDX).  The new file is complete on
    // disk before it takes the name.
    static void create(const std::filesystem::path& dbfPath, const std::vector<FieldSpec>& fields);
    // Creates an empty video table: the forty catalogue fields in catalogue order.
    static void createVideoTable(const std::filesystem::path& dbfPath);
    static std::vector<FieldSpec> videoFieldSpecs();

    // ---- Fields ------------------------------------------------------------------------
    int fieldCount() const;
    const std::string& fieldName(int i) const;  // i = 0 .. fieldCount()-1, as stored
    const FieldInfo& fieldInfo(int i) const;
    int fieldIndex(std::string_view name) const;  // case-insensitive; -1 when there is none

    // ---- Production index --------------------------------------------------------------
    // Adds (or replaces) a tag with a key expression in the .MDX, creating the file when it
    // is missing, and sets the header's production-index flag.  On a closed table the table
    // is opened exclusively for the purpose and closed again; on an open one it must be open
    // exclusively.  A bad expression raises DatabaseError and changes nothing.
    void addIndex(const std::string& tag, const std::string& expression);
    // Removes a tag; a missing tag (or a missing or unreadable .MDX) counts as already
    // deleted.  Same opening rules as addIndex.  The .MDX is removed with its last tag.
    void deleteIndex(const std::string& tag);
    // Selects the tag that orders the records, or none with "".  On an open table the order
    // changes at once (an unknown tag raises DatabaseError); on a closed one it takes effect
    // at the next open, where a tag that cannot be found leaves the table in record order.
    void setIndexName(const std::string& tag);
    const std::string& indexName() const;        // the selected tag, "" for none
    std::string orderExpression() const;         // the key expression ordering the records, or ""
    std::vector<std::string> indexTags() const;  // tags of the readable .MDX (open or closed)
    // Whether a tag of the .MDX matches the open table's records exactly (every record's key,
    // in order), so that another program reading the index is not misled.
    enum class TagStatus { Absent, Current, Stale };
    TagStatus tagStatus(const std::string& tag) const;
    // Orders the open table by a key expression in memory only, without any index file
    // ("" = record order).  Selecting a tag or reopening replaces it.
    void orderBy(const std::string& expression);
    // Rebuilds every tag of the .MDX from the records.  Needs the table open exclusively.
    // Whenever the .MDX is rewritten, tags of other programs keep their descending and unique
    // flags; a tag whose keys this engine cannot build (see KeyExpression) is dropped.  An
    // unreadable .MDX is replaced by the tags added through this object.
    void regenerateIndexes();
    // Removes the deleted records and rebuilds every tag.  Needs the table open exclusively.
    // The packed table is written beside the old one and renamed into place, so a crash
    // leaves one of the two whole.  The first record becomes current.
    void pack();

    // ---- Navigation --------------------------------------------------------------------
    // All of these see only live records that the record filter (if any) accepts, in the
    // current order.  Moving while a record is being edited posts it first.
    void first();
    void last();
    void next();   // past the last record: eof() becomes true, the record stays current
    void prior();  // before the first: bof() becomes true
    bool eof() const;
    bool bof() const;
    int recordCount();   // visible records (deleted and filter-rejected ones not counted)
    int recNo() const;   // 1-based physical record number of the current record, 0 for none
    bool moveToRecNo(int recNo);  // false (and no move) when deleted, rejected or out of range

    // What a display needs to fetch rows lazily:
    int rowCount() { return recordCount(); }
    bool moveToRow(int row);      // 0-based row in the current order; false when out of range
    int currentRow();             // row of the current record, -1 when there is none
    int recNoAtRow(int row);      // record number shown in a row, 0 when out of range
    // Field i of any record as asString would give it, without moving; "" when out of range.
    std::string valueAt(int recNo, int field) const;

    int physicalRecordCount() const;  // the header's count, deleted records included
    int deletedCount() const;
    bool isDeleted(int recNo) const;

    // ---- Field values of the current record (the edit buffer while editing) -------------
    // Text: C fields without trailing blanks; N fields trimmed; dates through the date codec;
    // blank numbers and dates give "".
    std::string asString(int i) const;
    std::string asString(std::string_view name) const;
    double asNumber(int i) const;  // 0 for a blank or non-numeric value
    double asNumber(std::string_view name) const;
    Date asDate(int i) const;      // empty for a blank or invalid date
    Date asDate(std::string_view name) const;
    std::string asStored(int i) const;  // the field's bytes exactly as stored
    bool isBlank(int i) const;          // only spaces (or NULs) stored

    // Setters need the Edit or Insert state.  Text longer than a C field is cut.  Text for an
    // N field must be a plain number ("1997", "-3", "12.5"); for a D field a date the date
    // codec reads; otherwise DatabaseError names the field and the value.  "" stores blanks.
    void setString(int i, std::string_view text);
    void setString(std::string_view name, std::string_view text);
    void setNumber(int i, double value);  // DatabaseError when it does not fit the field
    void setNumber(std::string_view name, double value);
    void setDate(int i, const Date& date);  // an empty date stores blanks
    void setDate(std::string_view name, const Date& date);
    void clear(int i);
    void clear(std::string_view name);

    // The codec that turns dates into text and back for asString/setString/valueAt.  The
    // caller keeps it alive; nullptr restores defaultDateCodec().
    void setDateCodec(const DateCodec* codec);
    const DateCodec& dateCodec() const;

    // ---- Editing -------------------------------------------------------------------------
    void append();        // a new blank record in the edit buffer (State::Insert)
    void edit();          // the current record into the edit buffer (State::Edit); locks it
    void post();          // writes the buffer: the record is in the file when this returns
    void cancel();        // drops the buffer
    void deleteRecord();  // marks the current record deleted; the next one becomes current
    State state() const;
    // Reads the table again from the file (records other holders added or changed), keeps
    // the current record where it still exists, and tells the listeners.
    void refresh();

    // ---- Record filter -------------------------------------------------------------------
    void setFilter(Filter filter);  // consulted for every record from now on
    void clearFilter();
    bool hasFilter() const;

    // ---- Display updates -----------------------------------------------------------------
    // While disabled (counted, nested) no notifications are sent; the last enableControls()
    // sends one DataChanged when anything happened meanwhile.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const;
    int subscribe(Listener listener);  // returns an id for unsubscribe
    void unsubscribe(int id);

    // Makes everything written so far durable (fsync) and rewrites the .MDX when records
    // changed.  Call once at the end of a command or an import batch.
    void flush();

private:
    struct Impl;
    // Runs work with the table open exclusively: the open table as it is (which must be open
    // exclusively), or a closed table opened for the purpose and closed again.
    void runExclusive(const char* what, const std::function<void(bool wasOpen)>& work);
    // After a change of order or filter: keeps the current record where it is still shown
    // and tells the listeners.
    void notifyDataChangedKeepingRecord();
    std::unique_ptr<Impl> d_;
};

}  // namespace rv::db
