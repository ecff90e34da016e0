// The exchange subcommands: import and export, over the same core as the import and export
// windows.
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/Cli.h"
#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "core/exchange/ExchangeMessages.h"
#include "core/exchange/Export.h"
#include "core/exchange/Import.h"

namespace rv::cli {

namespace {

namespace fs = std::filesystem;
using db::Table;

void expectTwoPositionals(const ParsedArgs& a) {
    if (a.positional.size() < 2) throw UsageError("missing argument");
    if (a.positional.size() > 2) throw UsageError("unexpected argument \"" + a.positional[2] + "\"");
}

// The database's own settings (or the program file's, as the windows fall back to).
app::Settings databaseSettings(const Table& t) {
    app::Settings s;
    app::loadSettings(s, t.companionPath(".INI"), app::kDatabasePart);
    return s;
}

// "--map 1:1,3:11": import field I into catalogue field F; every other import field unused.
exchange::FieldMap mapFrom(const std::string& text, int importFields) {
    exchange::FieldMap map(std::size_t(importFields), 0);
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string pair = text.substr(start, comma - start);
        const std::size_t colon = pair.find(':');
        if (colon == std::string::npos) throw UsageError("--map takes I:F pairs, not \"" + pair + "\"");
        const int i = parseNumber(pair.substr(0, colon), 1, importFields, "an import field");
        map[std::size_t(i - 1)] = parseNumber(pair.substr(colon + 1), 1, db::kFieldCount, "a catalogue field");
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return map;
}

}  // namespace

int cmdImport(const std::vector<std::string>& args) {
    const ParsedArgs a = parseArgs(args, {"--map"}, {"--dbf", "--skip-first", "--no-skip-first"});
    expectTwoPositionals(a);
    if (a.has("--skip-first") && a.has("--no-skip-first"))
        throw UsageError("--skip-first and --no-skip-first exclude each other");
    const fs::path dbPath = a.at(0);
    const std::string file = a.at(1);
    const bool dbf = a.has("--dbf");

    if (auto problem = db::videoTableProblem(dbPath)) throw CommandError(toTerminal(*problem));
    const app::DisplayFormats formats = app::loadDisplayFormats();

    // The import fields, as the window's first-line check or GetDBFInfo finds them.
    std::vector<std::string> names;
    std::string text;
    if (dbf) {
        if (!exchange::hasDbfEnding(file)) throw CommandError(exchange::kInvalidFileType);
        const exchange::DbfInfo info = exchange::dbfInfo(file);
        if (info.cut()) std::cerr << exchange::kWideSourceNotice << "\n";
        names = info.names;
    } else {
        try {
            text = exchange::readWholeFile(file);
        } catch (const exchange::ExchangeError& e) {
            throw CommandError(e.what());
        }
        const exchange::FirstLine first = exchange::checkFirstLine(text);
        if (!first.ok()) throw CommandError(exchange::firstLineMessage(*first.fault));
        names = first.names;
    }
    const exchange::FieldMap map =
        a.has("--map") ? mapFrom(a.options.at("--map"), int(names.size())) : exchange::initialFieldMap(names);

    // The table for this command alone when nobody else has it open (appends need no lock
    // then), else shared with the other holders.
    Table t;
    t.setPath(dbPath);
    t.setDateCodec(&formats.date());
    t.setExclusive(true);
    try {
        t.open();
    } catch (const db::TableInUseError&) {
        t.setExclusive(false);
        t.open();
    }
    if (!t.isWritable()) throw CommandError(t.problem().empty() ? "The table cannot be changed." : toTerminal(t.problem()));
    const bool skipFirst =
        a.has("--skip-first") || (!a.has("--no-skip-first") && databaseSettings(t).importSkipFirst);

    int count = 0;
    try {
        count = dbf ? exchange::importDbf(t, file, map, formats.date())
                    : exchange::importTextFrom(t, text, map, skipFirst, formats.date());
    } catch (const exchange::ExchangeError& e) {
        throw CommandError(e.what());
    }
    t.close();
    std::cout << count << "\n";
    return 0;
}

int cmdExport(const std::vector<std::string>& args) {
    const ParsedArgs a = parseArgs(args, {"--fields"}, {"--dbf", "--titles", "--no-titles"});
    expectTwoPositionals(a);
    if (a.has("--titles") && a.has("--no-titles")) throw UsageError("--titles and --no-titles exclude each other");
    const fs::path dbPath = a.at(0);
    const std::string file = a.at(1);
    const bool dbf = a.has("--dbf");
    if (dbf && !exchange::hasDbfEnding(file)) throw CommandError(exchange::kInvalidFileType);

    const app::DisplayFormats formats = app::loadDisplayFormats();
    Table t;
    t.setPath(dbPath);
    t.setReadOnly(true);
    t.setDateCodec(&formats.date());
    t.open();
    const app::Settings settings = databaseSettings(t);
    const std::vector<int> fields = a.has("--fields")
                                        ? parseNumberList(a.options.at("--fields"), 1, db::kFieldCount, "a field number")
                                        : exchange::CalcIndexOrder(settings);
    if (fields.empty()) throw CommandError(exchange::kNoFieldsSelected);
    const bool titles = a.has("--titles") || (!a.has("--no-titles") && settings.exportFirstRow);

    exchange::ExportResult result;
    try {
        if (dbf) {
            result = exchange::exportDbf(t, file, fields);
        } else {
            std::vector<std::string> labels;
            for (int n : fields) labels.push_back(exchange::exportLabel(settings, t, n));
            result = exchange::exportText(t, file, fields, titles ? &labels : nullptr);
        }
    } catch (const exchange::ExchangeError& e) {
        throw CommandError(e.what());
    }
    std::cout << result.records << "\n";
    return 0;
}

}  // namespace rv::cli
