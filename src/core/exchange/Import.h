#pragma once
// Import: new video records from a quoted-text file or from another dBase table.
//
// The import window pairs import fields with the catalogue fields in a grid (ImportPairing),
// builds the field map from it, and runs importText or importDbf.  Each line or source
// record becomes one new record, posted at once, so an interrupted import keeps what was
// posted; nothing already in the table changes.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/db/FieldCatalog.h"
#include "core/db/Table.h"
#include "core/exchange/QuotedText.h"

namespace rv::exchange {

// A file that cannot be read or written: the operating system's reason, with the file.
class ExchangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole file's bytes; ExchangeError when it cannot be read.
std::string readWholeFile(const std::filesystem::path& file);

// True when the last four characters of a file name, in capitals, are ".DBF".
bool hasDbfEnding(const std::string& fileName);

// ---- Storing a value ----------------------------------------------------------------------
// Stores an import value into field `tableField` (an index of the table, Edit or Insert
// state) that holds catalogue kind `kind`:
//  - text: unchanged (the table cuts it to the field's width);
//  - whole number: from its leading digits after blanks, with an optional sign; no digits (an
//    empty value too), or a number the field cannot hold, stores 0;
//  - decimal number: a number written with a point ("12.50", "-3", ".5"); anything else, or
//    a number the field cannot hold, stores blank;
//  - date: only a value with the date format's separator and no letter, read in the date
//    format; any other value, and a value that is no real date, leaves the field blank.
void storeValue(rv::db::Table& table, int tableField, rv::db::FieldKind kind, std::string_view value,
                const rv::app::ShortDateFormat& dates);

// ---- The field map ------------------------------------------------------------------------
// For import field i (index 0 .. count-1): the catalogue number 1..40 that receives it, or 0.
using FieldMap = std::vector<int>;

// The mapping grid of the import window: rows 1 .. max(40, import field count), each with
// the program field (display names of catalogue fields 1..40, empty below), the import field
// name ("<EMPTY>" past the import fields) and the "USE" cell ("Yes", "No" or empty).
class ImportPairing {
public:
    struct Row {
        std::string programField;
        std::string importField;
        std::string use;
    };

    // Import field i starts in row i with "Yes".
    ImportPairing(const rv::app::Settings& settings, std::vector<std::string> importNames);

    int rowCount() const { return int(rows_.size()); }
    const Row& row(int r) const { return rows_.at(std::size_t(r - 1)); }  // r = 1 .. rowCount()
    const std::vector<std::string>& importNames() const { return names_; }

    // "&Up"/"&Down": the import field and "USE" cells of row r change places with the row
    // above / below.  Answers the row the selection moves to (r when it cannot move).
    int moveUp(int r);
    int moveDown(int r);
    // A double click on the "USE" cell: "Yes" <-> "No"; an empty cell stays empty.
    void toggleUse(int r);

    // "&Start Import": import field i goes to the catalogue field of the first row among 1..40
    // that shows its name, when that row's "USE" reads exactly "Yes"; else it is not used.
    FieldMap fieldMap() const;

private:
    std::vector<std::string> names_;
    std::vector<Row> rows_;
};

// The pairing of the grid as it first shows: import field i into catalogue field i, up to 40.
FieldMap initialFieldMap(const std::vector<std::string>& importNames);

// ---- Sources --------------------------------------------------------------------------------
// GetDBFInfo: the field names of a dBase source (cut to 20 characters), at most the first 50.
struct DbfInfo {
    std::vector<std::string> names;
    int sourceFields = 0;  // all fields of the source; more than names.size() when it was cut
    bool cut() const { return sourceFields > int(names.size()); }
};
DbfInfo dbfInfo(const std::filesystem::path& source);  // raises DatabaseError

// Called after every posted record with the running count; answers false to stop the import
// (the records posted so far stay).
using ImportProgress = std::function<bool(int count)>;

// Imports a quoted-text file into the open table: the first line is checked again (a refused
// line raises ExchangeError with firstLineMessage), the first record is passed over when
// `skipFirst`, every other line with a first value becomes a record.  Answers the count of
// records posted.  The table is flushed at the end.
int importText(rv::db::Table& table, const std::filesystem::path& file, const FieldMap& map, bool skipFirst,
               const rv::app::ShortDateFormat& dates, const ImportProgress& progress = {});
// The same over text already in memory (`text` as the file's bytes).
int importTextFrom(rv::db::Table& table, std::string_view text, const FieldMap& map, bool skipFirst,
                   const rv::app::ShortDateFormat& dates, const ImportProgress& progress = {});

// Imports every record of a dBase source (its first 50 fields): values as text (dates in the
// date format), stored by the target's kind; a date into a date field is taken as it is.
int importDbf(rv::db::Table& table, const std::filesystem::path& source, const FieldMap& map,
              const rv::app::ShortDateFormat& dates, const ImportProgress& progress = {});

}  // namespace rv::exchange
