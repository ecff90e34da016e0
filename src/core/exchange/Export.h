#pragma once
// Export: chosen fields of the records the table shows, to a quoted-text file or to a new
// dBase table.
//
// The export window edits an ExportChoice (the "FIELD" / "EXPORT IT" grid), stores it in the
// settings (UpdateConfigs) and builds the export list from them (CalcIndexOrder).  The export
// walks the records the table shows: with a record filter installed (a search in force) only
// the matching ones; the caller suspends the search for a whole-database export.
//
// Both exports write a temporary file beside the target and rename it into place once it is
// complete, so a failed or cancelled export leaves the file that was there untouched and never
// a torn file under the chosen name.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Settings.h"
#include "core/db/Table.h"
#include "core/exchange/Import.h"

namespace rv::exchange {

// The export grid: row p (1..40) holds the display name of the field with export position p
// and "Yes" or "No".
class ExportChoice {
public:
    struct Row {
        std::string field;     // display name
        std::string exportIt;  // "Yes" / "No"
    };

    explicit ExportChoice(const rv::app::Settings& settings);

    static constexpr int rowCount() { return rv::db::kFieldCount; }
    const Row& row(int r) const { return rows_.at(std::size_t(r - 1)); }  // r = 1..40

    // "&Up"/"&Down": both cells change places with the row above / below; answers the row
    // the selection moves to.
    int moveUp(int r);
    int moveDown(int r);
    // A double click on "EXPORT IT": "Yes" becomes "No", anything else "Yes".
    void toggle(int r);
    // "D&efaults": row i holds catalogue field i and "Yes".
    void defaults(const rv::app::Settings& settings);

    // UpdateConfigs: each catalogue field takes the position of the first row showing its
    // display name, and its flag from that row's "Yes".  A field no row shows keeps its values.
    void store(rv::app::Settings& settings) const;

private:
    std::vector<Row> rows_;
};

// CalcIndexOrder: the exported catalogue fields in export-position order (for each position
// 1..40 the first field at that position, when its flag is set).  Empty: nothing to export.
std::vector<int> CalcIndexOrder(const rv::app::Settings& settings);

// A field's plain text as export writes it: text as stored, whole numbers in digits, decimal
// numbers in general notation with up to 15 significant digits (always with a point), dates
// in the table's date format, a blank field as "".
std::string plainText(const rv::db::Table& table, int tableField, rv::db::FieldKind kind);

// Appends one value of a text export line: cut to 255 characters, blanks at both ends
// removed, every double quote doubled, in double quotes.  The cut comes before the doubling,
// so a doubled quote is never split and the value reads back as it was.
void appendExportValue(std::string& line, std::string_view plain);

// The title of a field in the first line: its display name when the viewer shows the field,
// else its name in the table.
std::string exportLabel(const rv::app::Settings& settings, const rv::db::Table& table, int number);

// Called after each record written with the count so far; false cancels the export (the
// target is then left as it was).
using ExportProgress = std::function<bool(int done)>;

struct ExportResult {
    int records = 0;
    bool cancelled = false;
};

// DoAscii without its dialog: writes the title line when `titles` is not null, then one line
// per record the table shows (CR LF line ends).  ExchangeError when the file cannot be
// written; the target is replaced only by a complete file.
ExportResult exportText(rv::db::Table& table, const std::filesystem::path& target, const std::vector<int>& fields,
                        const std::vector<std::string>* titles, const ExportProgress& progress = {});

// DoDBase without its dialog: a new dBase table with one field per exported field (its
// catalogue name, the same kind and width, no index) and one record per record the table
// shows, values copied exactly.  A target that another program holds raises TableInUseError.
ExportResult exportDbf(rv::db::Table& table, const std::filesystem::path& target, const std::vector<int>& fields,
                       const ExportProgress& progress = {});

// True when `target` names the table's own file (export must not replace the open table).
bool isTableFile(const rv::db::Table& table, const std::filesystem::path& target);

}  // namespace rv::exchange
