// The convert subcommand: the start-up conversion of the two earlier database versions,
// without the questions (running the command is the user's consent).
#include <iostream>

#include "cli/Cli.h"
#include "core/app/Formats.h"
#include "core/app/Paths.h"
#include "core/db/Conversion.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"

namespace rv::cli {

int cmdConvert(const std::vector<std::string>& args) {
    const ParsedArgs a = parseArgs(args, {});
    if (a.positional.size() > 1) throw UsageError("unexpected argument \"" + a.positional[1] + "\"");
    const std::filesystem::path database = a.at(0);
    if (auto problem = db::videoTableProblem(database)) throw CommandError(toTerminal(*problem));
    const app::DisplayFormats formats = app::loadDisplayFormats();
    db::Table table;
    table.setDateCodec(&formats.date());
    table.setPath(database);
    table.open();
    if (!table.isWritable())
        throw CommandError(table.problem().empty() ? "The table cannot be changed." : toTerminal(table.problem()));
    const app::ShortDateFormat version1Dates(1);  // m/d/yy with "/"
    const auto result = db::CheckForConversion(table, app::programDir(), [](const std::string&) { return true; },
                                               version1Dates);
    if (result.version2Records >= 0) std::cout << db::kVersion2File << ": " << result.version2Records << " records\n";
    if (result.version1Records >= 0) std::cout << db::kVersion1File << ": " << result.version1Records << " records\n";
    if (result.version2Records < 0 && result.version1Records < 0)
        std::cout << "No database of an earlier version in " << app::programDir().string() << "\n";
    table.close();
    return 0;
}

}  // namespace rv::cli
