// The table subcommands: create, check, info, list, delete, pack, reindex.
#include <climits>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/Cli.h"
#include "core/app/Formats.h"
#include "core/app/Profile.h"
#include "core/app/Session.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"

namespace rv::cli {

namespace {

namespace fs = std::filesystem;
using db::Table;

// The windows' in-use messages, from the session.
const std::string kPackInUse = app::inUseMessage(app::ExclusiveCommand::Pack);
const std::string kReindexInUse = app::inUseMessage(app::ExclusiveCommand::Rebuild);

fs::path tablePath(const ParsedArgs& a) {
    if (a.positional.size() > 1) throw UsageError("unexpected argument \"" + a.positional[1] + "\"");
    return a.at(0);
}

// Sort levels from "--sort N[,N...]": up to four catalogue numbers, 0 for none.
db::SortLevels levelsFrom(const std::string& text) {
    std::vector<int> list = parseNumberList(text, 0, db::kFieldCount, "a sort level");
    if (list.size() > 4) throw UsageError("at most four sort levels");
    db::SortLevels levels{0, 0, 0, 0};
    for (size_t i = 0; i < list.size(); ++i) levels[i] = list[i];
    return levels;
}

// The sort levels kept in the database's configuration file.
db::SortLevels configuredLevels(const Table& t) {
    app::ProfileFile ini(t.companionPath(".INI"));
    return {ini.readWhole("Sort Order", "Primary Sort", 2), ini.readWhole("Sort Order", "Secondary Sort", 0),
            ini.readWhole("Sort Order", "Third Level Sort", 0), ini.readWhole("Sort Order", "Fourth Level Sort", 0)};
}

void reportProblem(const Table& t) {
    if (!t.problem().empty()) std::cerr << toTerminal(t.problem()) << "\n";
}

// Opens for exclusive work; another holder gives the window's message.
void openExclusive(Table& t, const std::string& inUseMessage) {
    t.setExclusive(true);
    try {
        t.open();
    } catch (const db::TableInUseError&) {
        throw CommandError(inUseMessage);
    }
}

void appendQuoted(std::string& out, const std::string& value) {
    out += '"';
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

int cmdCreate(const std::vector<std::string>& args) {
    fs::path p = tablePath(parseArgs(args, {}));
    if (auto refused = db::makeNewVideoTable(p)) throw CommandError(toTerminal(*refused));
    return 0;
}

int cmdCheck(const std::vector<std::string>& args) {
    fs::path p = tablePath(parseArgs(args, {}));
    if (auto problem = db::videoTableProblem(p)) throw CommandError(toTerminal(*problem));
    return 0;
}

int cmdInfo(const std::vector<std::string>& args) {
    fs::path p = tablePath(parseArgs(args, {}));
    Table t;
    t.setPath(p);
    t.setReadOnly(true);
    t.setIndexName(db::kSortTagName);
    t.open();
    reportProblem(t);
    const char* index = "absent";
    switch (t.tagStatus(db::kSortTagName)) {
        case Table::TagStatus::Absent: index = "absent"; break;
        case Table::TagStatus::Current: index = "present"; break;
        case Table::TagStatus::Stale: index = "stale"; break;
    }
    std::cout << "records: " << t.recordCount() << "\n"
              << "deleted: " << t.deletedCount() << "\n"
              << "fields: " << t.fieldCount() << "\n"
              << "sort: " << toTerminal(t.orderExpression()) << "\n"
              << "index: " << index << "\n";
    return 0;
}

int cmdList(const std::vector<std::string>& args) {
    ParsedArgs a = parseArgs(args, {"--sort", "--fields", "--limit"});
    fs::path p = tablePath(a);
    std::vector<int> fields;
    if (a.has("--fields"))
        fields = parseNumberList(a.options.at("--fields"), 1, db::kFieldCount, "a field number");
    else
        for (int n = 1; n <= db::kFieldCount; ++n) fields.push_back(n);
    const int limit = a.has("--limit") ? parseNumber(a.options.at("--limit"), 0, INT_MAX, "the limit") : INT_MAX;
    std::string expression = a.has("--sort") ? db::BuildSortString(levelsFrom(a.options.at("--sort"))) : "";

    const app::DisplayFormats formats = app::loadDisplayFormats();
    Table t;
    t.setPath(p);
    t.setReadOnly(true);
    t.setDateCodec(&formats.date());
    t.open();
    reportProblem(t);
    if (!expression.empty()) t.orderBy(expression);

    // Catalogue numbers to the table's own field positions (-1: the table has no such field).
    std::vector<int> columns;
    for (int n : fields) columns.push_back(t.fieldIndex(db::field(n).name));

    std::string out;
    int written = 0;
    const int rows = t.rowCount();
    for (int row = 0; row < rows && written < limit; ++row, ++written) {
        const int r = t.recNoAtRow(row);
        std::string line;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i) line += ',';
            appendQuoted(line, columns[i] < 0 ? std::string() : t.valueAt(r, columns[i]));
        }
        out += toTerminal(line);
        out += '\n';
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return 0;
}

int cmdDelete(const std::vector<std::string>& args) {
    ParsedArgs a = parseArgs(args, {});
    if (a.positional.size() != 2) throw UsageError(a.positional.size() < 2 ? "missing argument" : "too many arguments");
    const int recNo = parseNumber(a.at(1), 1, INT_MAX, "RECNO");
    Table t;
    t.setPath(a.at(0));
    t.open();
    if (!t.isWritable()) throw CommandError(t.problem().empty() ? "The table cannot be changed." : toTerminal(t.problem()));
    if (!t.moveToRecNo(recNo))
        throw CommandError("Record " + std::to_string(recNo) + " does not exist or is already deleted.");
    t.deleteRecord();
    t.flush();
    t.close();
    return 0;
}

int cmdPack(const std::vector<std::string>& args) {
    fs::path p = tablePath(parseArgs(args, {}));
    Table t;
    t.setPath(p);
    t.setIndexName(db::kSortTagName);
    openExclusive(t, kPackInUse);
    const int before = t.physicalRecordCount();
    t.pack();
    std::cout << "records: " << t.physicalRecordCount() << "\n"
              << "removed: " << before - t.physicalRecordCount() << "\n";
    t.close();
    return 0;
}

int cmdReindex(const std::vector<std::string>& args) {
    ParsedArgs a = parseArgs(args, {"--sort"});
    fs::path p = tablePath(a);
    Table t;
    t.setPath(p);
    const db::SortLevels levels = a.has("--sort") ? levelsFrom(a.options.at("--sort")) : configuredLevels(t);
    const std::string expression = db::BuildSortString(levels);
    try {
        db::rebuildSortTag(t, expression);
    } catch (const db::TableInUseError&) {
        throw CommandError(kReindexInUse);
    }
    std::cout << "sort: " << toTerminal(expression) << "\n";
    return 0;
}

}  // namespace rv::cli
