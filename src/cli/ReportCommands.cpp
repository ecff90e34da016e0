// The report subcommands: reports (the definitions file), report (one report to a text file
// or a PDF file).
#include <cctype>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/Cli.h"
#include "core/app/Formats.h"
#include "core/app/Paths.h"
#include "core/app/Settings.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"
#include "core/reports/ReportRenderer.h"
#include "core/reports/ReportStore.h"
#include "core/reports/TextFileEngine.h"
#ifdef REELVANE_HAVE_PRINT
#include "print/PageEngines.h"
#endif

namespace rv::cli {

namespace {

namespace fs = std::filesystem;

// The definitions file of the program folder, made sure of as at program start.
reports::ReportStore startReports() {
    const fs::path folder = app::programDir();
    std::error_code ec;
    fs::create_directories(folder, ec);
    const reports::EnsureResult r = reports::ensureReportFile(folder);
    if (!r.problem.empty()) std::cerr << toTerminal(r.problem) << "\n";
    return reports::ReportStore(reports::reportFile(folder));
}

bool allDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// REPORT: a position in the list, or the first definition with that name.
int findReport(const reports::ReportStore& store, const std::string& which) {
    const auto names = store.names();
    if (allDigits(which)) {
        const int position = parseNumber(which, 0, 1 << 30, "REPORT");
        if (position < static_cast<int>(names.size())) return position;
    }
    const std::string stored = toStored(which);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == stored) return static_cast<int>(i);
    throw CommandError("Report format could not be located.");
}

}  // namespace

int cmdReports(const std::vector<std::string>& args) {
    ParsedArgs a = parseArgs(args, {});
    if (!a.positional.empty()) throw UsageError("unexpected argument \"" + a.positional[0] + "\"");
    const reports::ReportStore store = startReports();
    const auto names = store.names();
    for (std::size_t i = 0; i < names.size(); ++i) std::cout << i << '\t' << toTerminal(names[i]) << '\n';
    return 0;
}

int cmdReport(const std::vector<std::string>& args) {
    ParsedArgs a = parseArgs(args, {"--text", "--pdf", "--sort"});
    if (a.positional.size() != 2) throw UsageError(a.positional.size() < 2 ? "missing argument" : "too many arguments");
    if (a.has("--text") == a.has("--pdf")) throw UsageError("give one of --text FILE and --pdf FILE");
#ifndef REELVANE_HAVE_PRINT
    if (a.has("--pdf")) throw CommandError("This reelvane-cli was built without the print library; --pdf is not available.");
#endif
    const fs::path dbPath = a.at(0);
    const reports::ReportStore store = startReports();
    const int position = findReport(store, a.at(1));
    reports::DecodeNotes notes;
    const auto def = store.read(position, &notes);
    if (!def) throw CommandError("Report format could not be located.");
    for (const auto& n : notes.repairs) std::cerr << "report definition: " << toTerminal(n) << "\n";

    app::Settings settings;
    app::loadDatabaseSettings(settings, app::databaseConfigFile(dbPath), app::programConfigFile());
    db::SortLevels levels = settings.sortLevels;
    if (a.has("--sort")) {
        const std::vector<int> list = parseNumberList(a.options.at("--sort"), 0, db::kFieldCount, "a sort level");
        if (list.size() > 4) throw UsageError("at most four sort levels");
        levels = {0, 0, 0, 0};
        for (std::size_t i = 0; i < list.size(); ++i) levels[i] = list[i];
    }
    const app::DisplayFormats formats = app::loadDisplayFormats();

    db::Table table;
    table.setPath(dbPath);
    table.setReadOnly(true);
    table.setDateCodec(&formats.date());
    table.open();
    if (!table.problem().empty()) std::cerr << toTerminal(table.problem()) << "\n";
    table.orderBy(db::BuildSortString(levels));

    reports::ReportSource source;
    source.table = &table;
    source.formats = &formats;
    source.sortLevels = levels;
    source.displayName = [&settings](int n) { return settings.displayNames[n]; };
    source.today = formats.date().format(app::systemToday());

    int pages = 0;
    try {
        if (a.has("--text")) {
            reports::TextFileEngine engine(a.options.at("--text"),
                                           reports::oriented(reports::localePaperSize(), def->landscape));
            reports::ReportRenderer renderer(*def, source, engine);
            renderer.run();
            pages = engine.pageCount();
        }
#ifdef REELVANE_HAVE_PRINT
        else {
            print::ensureGuiApplication();
            print::PdfEngine engine(QString::fromStdString(a.options.at("--pdf")), reports::localePaperSize(),
                                    def->landscape, QStringLiteral("Test Report"));
            reports::ReportRenderer renderer(*def, source, engine);
            renderer.run();
            pages = engine.pageCount();
        }
#endif
    } catch (const reports::ReportLayoutError& e) {
        throw CommandError(e.what());
    } catch (const reports::ReportFileError& e) {
        throw CommandError(e.what());
    }
    std::cout << "pages: " << pages << "\n";
    return 0;
}

}  // namespace rv::cli
