// The finding subcommands: the search criteria of "list --where" and "locate".
#include <climits>
#include <iostream>

#include "cli/Cli.h"
#include "core/app/Formats.h"
#include "core/browse/Locate.h"
#include "core/browse/RecordSearch.h"
#include "core/db/SortOrder.h"
#include "core/db/Table.h"

namespace rv::cli {

namespace {

// A field named by catalogue number or by table field name in any letter case.
int fieldFrom(const std::string& text) {
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
        return parseNumber(text, 1, db::kFieldCount, "a field number");
    if (auto n = db::fieldNumber(text)) return *n;
    throw UsageError("unknown field \"" + text + "\"");
}

}  // namespace

std::optional<browse::SearchCriteria> takeSearchCriteria(std::vector<std::string>& args,
                                                         const app::ShortDateFormat& dates) {
    std::vector<browse::SearchLevelRows> levels(1);
    std::vector<std::vector<bool>> given(1, std::vector<bool>(size_t(db::kFieldCount) + 1, false));
    bool any = false;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--or") {
            if (!any) throw UsageError("--or must follow a --where");
            if (levels.size() == size_t(browse::kMaxSearchLevels)) throw UsageError("at most ten levels");
            levels.emplace_back();
            given.emplace_back(size_t(db::kFieldCount) + 1, false);
            continue;
        }
        std::string where;
        if (a == "--where") {
            if (i + 1 >= args.size()) throw UsageError("option --where needs a value");
            where = args[++i];
        } else if (a.rfind("--where=", 0) == 0) {
            where = a.substr(8);
        } else {
            rest.push_back(a);
            continue;
        }
        const auto eq = where.find('=');
        if (eq == std::string::npos || eq == 0) throw UsageError("expected FIELD=CRITERION, not \"" + where + "\"");
        const int field = fieldFrom(where.substr(0, eq));
        if (given.back()[size_t(field)])
            throw UsageError("field " + std::string(db::field(field).name) + " given twice in one level");
        given.back()[size_t(field)] = true;
        const browse::TypedRow row = browse::typedRow(field, toStored(where.substr(eq + 1)));
        levels.back().cell(field) = row.cell;
        levels.back().comparison(field) = row.comparison;
        any = true;
    }
    args = std::move(rest);
    if (!any) return std::nullopt;

    browse::SearchCriteria criteria;
    for (const auto& level : levels) {
        const browse::StoreResult stored = browse::storeLevel(criteria, level, dates);
        if (!stored.ok()) throw CommandError(stored.message);
    }
    return criteria;
}

bool applySearch(db::Table& table, const std::optional<browse::SearchCriteria>& criteria) {
    if (!criteria) return true;
    browse::RecordSearch search(table);
    return search.start(*criteria);
}

int cmdLocate(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    const app::DisplayFormats formats = app::loadDisplayFormats();
    const auto criteria = takeSearchCriteria(args, formats.date());
    ParsedArgs a = parseArgs(args, {"--sort", "--after"}, {"--exact", "--start", "--anywhere", "--case"});
    if (a.positional.size() != 3) throw UsageError(a.positional.size() < 3 ? "missing argument" : "too many arguments");
    if (int(a.has("--exact")) + int(a.has("--start")) + int(a.has("--anywhere")) > 1)
        throw UsageError("choose one of --exact, --start and --anywhere");
    const browse::LocateMatch match = a.has("--exact")      ? browse::LocateMatch::Exact
                                      : a.has("--anywhere") ? browse::LocateMatch::Anywhere
                                                            : browse::LocateMatch::Start;
    const std::string& fieldArg = a.at(1);
    const std::string fieldName = !fieldArg.empty() && fieldArg.find_first_not_of("0123456789") == std::string::npos
                                      ? std::string(db::field(fieldFrom(fieldArg)).name)
                                      : toStored(fieldArg);
    const std::string value = toStored(a.at(2));
    if (value.size() > size_t(browse::kMaxLocateValue)) throw UsageError("the value is longer than 255 characters");

    db::Table t;
    t.setPath(a.at(0));
    t.setReadOnly(true);
    t.setDateCodec(&formats.date());
    t.open();
    if (!t.problem().empty()) std::cerr << toTerminal(t.problem()) << "\n";
    if (a.has("--sort")) {
        std::vector<int> list = parseNumberList(a.options.at("--sort"), 0, db::kFieldCount, "a sort level");
        if (list.size() > 4) throw UsageError("at most four sort levels");
        db::SortLevels levels{0, 0, 0, 0};
        for (size_t i = 0; i < list.size(); ++i) levels[i] = list[i];
        t.orderBy(db::BuildSortString(levels));
    }
    const bool after = a.has("--after");
    if (!applySearch(t, criteria))
        throw CommandError(after ? browse::kNoMoreMatchesFound : browse::kNoMatchesFound);
    if (after) {
        const int recNo = parseNumber(a.options.at("--after"), 1, INT_MAX, "RECNO");
        if (!t.moveToRecNo(recNo))
            throw CommandError("Record " + std::to_string(recNo) + " is not among the records shown.");
    }
    switch (browse::locate(t, fieldName, value, match, a.has("--case"), !after)) {
        case browse::LocateResult::Found: std::cout << t.recNo() << "\n"; return 0;
        case browse::LocateResult::NoSuchField: throw CommandError(toTerminal(browse::fieldNotFoundMessage(fieldName)));
        case browse::LocateResult::NotFound: break;
    }
    throw CommandError(after ? browse::kNoMoreMatchesFound : browse::kNoMatchesFound);
}

}  // namespace rv::cli
