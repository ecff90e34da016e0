// The record subcommands that share the record editor's validation and write-back.
#include "cli/Cli.h"

#include <iostream>
#include <set>

#include "core/app/Formats.h"
#include "core/app/Paths.h"
#include "core/db/FieldCatalog.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/edit/RecordUpdate.h"
#include "core/lists/DataLists.h"
#include "core/lists/DefaultLists.h"

namespace rv::cli {

namespace {

// Puts one "Field=Value" argument into the editor's boxes as if typed there: Field is a
// catalogue field name in any letter case, Value terminal text.  CheckOut and Viewed take
// Yes or No.
void assign(edit::EditorRecord& boxes, const std::string& argument, std::set<int>& seen) {
    const auto eq = argument.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("expected Field=Value, not \"" + argument + "\"");
    const std::string name = argument.substr(0, eq);
    const auto number = db::fieldNumber(name);
    if (!number) throw UsageError("unknown field \"" + name + "\"");
    if (!seen.insert(*number).second) throw UsageError("field " + std::string(db::field(*number).name) + " given twice");

    const std::string value = toStored(argument.substr(eq + 1));
    const auto& box = edit::boxOfField(*number);
    if (box.kind == edit::BoxKind::Check) {
        if (db::equalsNoCase(value, "Yes"))
            boxes.setChecked(*number, true);
        else if (db::equalsNoCase(value, "No") || value.empty())
            boxes.setChecked(*number, false);
        else
            throw UsageError(std::string(db::field(*number).name) + " takes Yes or No, not \"" + toTerminal(value) + "\"");
        return;
    }
    // The editor's box takes no more than this; a longer value is refused, never cut.
    if (value.size() > static_cast<std::size_t>(edit::maxLength(*number)))
        throw CommandError(std::string(db::field(*number).name) + " takes at most " +
                           std::to_string(edit::maxLength(*number)) + " characters");
    boxes[*number] = value;
}

}  // namespace

int cmdAdd(const std::vector<std::string>& args) {
    const ParsedArgs parsed = parseArgs(args, {});
    const std::filesystem::path dbPath = parsed.at(0);

    // A new record starts as the editor's Add shows it: cleared, play time and prices 0.
    edit::EditorRecord boxes = edit::clearedRecord();
    std::set<int> seen;
    for (std::size_t i = 1; i < parsed.positional.size(); ++i) assign(boxes, parsed.positional[i], seen);

    if (const auto problem = db::videoTableProblem(dbPath)) throw CommandError(*problem);
    const app::DisplayFormats formats = app::loadDisplayFormats();
    db::Table table;
    table.setDateCodec(&formats.date());
    table.setPath(dbPath);
    table.open();

    // The database's lists, as the editor holds them; typed values join them and they are
    // written back as when the editor closes.
    const std::filesystem::path programDir = app::programDir();
    lists::seedDefaultLists(programDir);
    lists::DataLists dataLists;
    dataLists.loadAll(table.basePath(), programDir);

    edit::EditorMode mode = edit::EditorMode::New;
    const auto result = edit::updateRecord(table, dataLists, boxes, mode, formats);
    if (!result.ok()) throw CommandError(std::string(result.error->message));
    table.flush();
    dataLists.saveAll(table.basePath());
    std::cout << result.recNo << "\n";
    return 0;
}

}  // namespace rv::cli
