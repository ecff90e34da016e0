#pragma once
// The record editor and the table: loading the current record into the boxes, and the
// update (checks, typed values joining their data lists, the write-back of all forty fields
// in one posted record).  The editor window and the command-line tool's add both go through
// updateRecord.

#include "core/edit/EditorRecord.h"
#include "core/edit/Validation.h"

#include <optional>

namespace rv::db {
class Table;
}
namespace rv::lists {
class DataLists;
}

namespace rv::edit {

// LoadInData: the boxes filled from the table's current record (text as the table reads it,
// check boxes ticked exactly for "Yes", dates in the current short date format, prices that
// are not blank formatted as money).  Without a current record (an empty table) every box is
// empty.
EditorRecord loadRecord(const db::Table& table, const app::DisplayFormats& formats);

// The twenty drop-down boxes' texts join their data lists (the six star boxes the one Stars
// list), then the viewer drop-down of the same field.
void addTypedValues(lists::DataLists& lists, const EditorRecord& boxes);

// Writes the boxes into the table: a new record in modes New and Copy, the current record in
// mode Edit (a new one when the table shows no record); every field; then posts.  Answers
// the record number written.  On success the mode becomes Edit, so further updates change
// this record.  A DatabaseError from the table cancels the unposted record, leaves the mode
// as it was, and is raised again.
int writeRecord(db::Table& table, const EditorRecord& boxes, const CheckedValues& values, EditorMode& mode);

struct UpdateResult {
    std::optional<ValidationError> error;  // the check that failed; nothing was changed
    int recNo = 0;                         // the record written
    bool ok() const { return !error; }
};

// DoUpdate: validate (the first failure ends it with the table and the lists untouched),
// extend the data lists, write and post the record.
UpdateResult updateRecord(db::Table& table, lists::DataLists& lists, const EditorRecord& boxes, EditorMode& mode,
                          const app::DisplayFormats& formats);

}  // namespace rv::edit
