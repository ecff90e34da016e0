// reelvane-engine-bench: the table engine's side of bench/engine.sh, one operation per run
// so that the script times each the same way as the sqlite3 side.
//
//   reelvane-engine-bench create CSV DB   create a video table and append every CSV record
//   reelvane-engine-bench index DB        add NewIndex on Title then Year
//   reelvane-engine-bench walk DB         read every field of every record in NewIndex order
//   reelvane-engine-bench pack DB         delete every tenth record, then pack
//   reelvane-engine-bench search DB       the two-level search of bench/search.sh through the
//                                         record filter; prints the count and its seconds
//   reelvane-engine-bench locate DB TITLE locate TITLE exactly (any case) in title order;
//                                         prints the record number and its seconds

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Formats.h"
#include "core/browse/Locate.h"
#include "core/browse/RecordSearch.h"
#include "core/db/FieldCatalog.h"
#include "core/db/Table.h"

namespace {

using rv::db::Table;

constexpr const char* kTag = "NewIndex";
constexpr const char* kExpression = "Upper(Left(Title,40))+STR(Year,12,0)";

// Splits one record of the import file (every value quoted, inner quotes doubled) starting at
// `pos`; leaves `pos` after the line end.
bool readRecord(const std::string& text, size_t& pos, std::vector<std::string>& values) {
    values.clear();
    if (pos >= text.size()) return false;
    const size_t end = text.size();
    while (pos < end) {
        std::string value;
        if (text[pos] == '"') {
            ++pos;
            while (pos < end) {
                size_t quote = text.find('"', pos);
                if (quote == std::string::npos) quote = end;
                value.append(text, pos, quote - pos);
                pos = quote + 1;
                if (pos < end && text[pos] == '"') {
                    value += '"';
                    ++pos;
                } else {
                    break;
                }
            }
        }
        size_t stop = text.find_first_of(",\n", pos);
        if (stop == std::string::npos) stop = end;
        if (value.empty() && stop > pos) value.assign(text, pos, stop - pos);  // an unquoted value
        if (!value.empty() && value.back() == '\r') value.pop_back();
        values.push_back(std::move(value));
        pos = stop + 1;
        if (stop >= end || text[stop] == '\n') break;
    }
    return true;
}

int create(const std::string& csv, const std::string& db) {
    std::ifstream in(csv, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    Table::createVideoTable(db);
    Table t;
    t.setPath(db);
    t.setExclusive(true);
    t.open();
    t.disableControls();
    size_t pos = 0;
    std::vector<std::string> values;
    readRecord(text, pos, values);  // the line of field titles
    long n = 0;
    while (readRecord(text, pos, values)) {
        if (values.size() < size_t(rv::db::kFieldCount)) continue;
        t.append();
        for (int i = 0; i < rv::db::kFieldCount; ++i) t.setString(i, values[size_t(i)]);
        t.post();
        ++n;
    }
    t.enableControls();
    t.flush();
    t.close();
    std::cout << "records " << n << "\n";
    return 0;
}

int index(const std::string& db) {
    Table t;
    t.setPath(db);
    t.addIndex(kTag, kExpression);
    return 0;
}

int walk(const std::string& db) {
    Table t;
    t.setPath(db);
    t.setReadOnly(true);
    t.setIndexName(kTag);
    t.open();
    const int fields = t.fieldCount();
    size_t bytes = 0, records = 0;
    for (t.first(); !t.eof(); t.next(), ++records)
        for (int i = 0; i < fields; ++i) bytes += t.asString(i).size();
    std::cout << "records " << records << " bytes " << bytes << "\n";
    return 0;
}

int pack(const std::string& db) {
    Table t;
    t.setPath(db);
    t.setExclusive(true);
    t.setIndexName(kTag);
    t.open();
    t.disableControls();
    for (int r = 10; r <= t.physicalRecordCount(); r += 10)
        if (t.moveToRecNo(r)) t.deleteRecord();
    t.pack();
    t.enableControls();
    std::cout << "records " << t.physicalRecordCount() << "\n";
    t.close();
    return 0;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Level 1: Title contains NIGHT and Category contains DRAMA; level 2: Year from 1951 to 1959.
int search(const std::string& db) {
    Table t;
    t.setPath(db);
    t.setReadOnly(true);
    t.open();
    rv::app::ShortDateFormat dates;
    rv::browse::SearchCriteria criteria;
    rv::browse::SearchLevelRows first, second;
    first.cell(1) = "night";
    first.cell(14) = "drama";
    second.cell(11) = "> 1950 AND < 1960";
    second.comparison(11) = rv::browse::RowComparison::Range;
    if (!rv::browse::storeLevel(criteria, first, dates).ok() || !rv::browse::storeLevel(criteria, second, dates).ok())
        return 1;
    const auto start = std::chrono::steady_clock::now();
    rv::browse::RecordSearch running(t);
    running.start(criteria);
    const int count = t.recordCount();
    const double seconds = secondsSince(start);
    std::printf("count %d seconds %.4f\n", count, seconds);
    return 0;
}

int locate(const std::string& db, const std::string& title) {
    Table t;
    t.setPath(db);
    t.setReadOnly(true);
    t.open();
    t.orderBy("UPPER(TITLE)");
    const auto start = std::chrono::steady_clock::now();
    const auto found = rv::browse::locate(t, "Title", title, rv::browse::LocateMatch::Exact, false, true);
    const double seconds = secondsSince(start);
    std::printf("recno %d seconds %.4f\n", found == rv::browse::LocateResult::Found ? t.recNo() : 0, seconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    try {
        if (a.size() == 3 && a[0] == "create") return create(a[1], a[2]);
        if (a.size() == 2 && a[0] == "index") return index(a[1]);
        if (a.size() == 2 && a[0] == "walk") return walk(a[1]);
        if (a.size() == 2 && a[0] == "pack") return pack(a[1]);
        if (a.size() == 2 && a[0] == "search") return search(a[1]);
        if (a.size() == 3 && a[0] == "locate") return locate(a[1], a[2]);
    } catch (const std::exception& e) {
        std::cerr << "reelvane-engine-bench: " << e.what() << "\n";
        return 1;
    }
    std::cerr << "usage: reelvane-engine-bench create CSV DB | index DB | walk DB | pack DB | search DB | locate DB TITLE\n";
    return 2;
}
