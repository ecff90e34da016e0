// The record order on its own, over records made in memory: building by key or by number,
// appended records merged in, deleted ones taken out when the order is settled, filtered
// rows, and the key sort on keys sharing long beginnings.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/db/KeyExpression.h"
#include "core/db/RecordOrder.h"

using namespace rv::db;

namespace {

// Records of one C(8) field NAME after the deletion flag.
std::string record(const std::string& name, bool deleted = false) {
    std::string r(9, ' ');
    r[0] = deleted ? '*' : ' ';
    r.replace(1, std::min<size_t>(name.size(), 8), name.substr(0, 8));
    return r;
}

KeyExpression byName() { return KeyExpression::compile("Upper(NAME)", {{"NAME", 'C', 1, 8, 0}}); }

// An order over `records` (record 1 first), keyed by upper-case NAME unless told otherwise.
RecordOrder built(const std::vector<std::string>& records, bool keyed = true) {
    RecordOrder o;
    if (keyed) o.setKey(byName());
    o.begin(int(records.size()));
    for (size_t i = 0; i < records.size(); ++i) o.add(int(i + 1), records[i]);
    o.finish();
    return o;
}

std::vector<int> rows(RecordOrder& o) { return o.rows(nullptr); }

}  // namespace

TEST(RecordOrder, BuildsByKeyThenNumberAndSkipsDeletedRecords) {
    const std::vector<std::string> records = {record("delta"), record("Alpha"), record("charlie", true),
                                              record("ALPHA"), record("bravo")};
    RecordOrder keyed = built(records);
    EXPECT_TRUE(keyed.built());
    EXPECT_EQ(rows(keyed), (std::vector<int>{2, 4, 5, 1}));  // equal keys by number
    RecordOrder plain = built(records, false);
    EXPECT_EQ(rows(plain), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_TRUE(keyed.less(2, 4));
    EXPECT_FALSE(keyed.less(4, 2));
    EXPECT_EQ(keyed.placeOf(rows(keyed), 5), 2u);
    keyed.clear();
    EXPECT_FALSE(keyed.built());
    EXPECT_TRUE(keyed.order().empty());
}

TEST(RecordOrder, AppendedRecordsWaitAndAreMergedInKeyOrder) {
    std::vector<std::string> records = {record("mike"), record("echo"), record("x-ray")};
    RecordOrder o = built(records);
    const std::vector<std::string> added = {record("alpha"), record("papa"), record("echo")};
    for (const std::string& r : added) {
        records.push_back(r);
        const int n = int(records.size());
        o.grow(n);
        o.computeKey(n, r);
        o.addAppended(n);
    }
    EXPECT_EQ(o.order().size(), 3u);  // pending until read
    EXPECT_EQ(rows(o), (std::vector<int>{4, 2, 6, 1, 5, 3}));
}

TEST(RecordOrder, DeletedRecordsStayUntilSettledAndChangedOnesMove) {
    RecordOrder o = built({record("a"), record("b"), record("c"), record("d"), record("e")});
    o.markDeleted(2);
    o.markDeleted(4);
    EXPECT_EQ(o.deletedSinceSettled(), 2u);
    EXPECT_EQ(o.order().size(), 5u);  // still in place for the caller's walk
    o.mergePending();
    EXPECT_EQ(o.order().size(), 5u);
    EXPECT_EQ(rows(o), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(o.deletedSinceSettled(), 0u);

    // A changed record: out under its old key, in under its new one.
    o.erase(1);
    o.computeKey(1, record("z"));
    o.insert(1);
    EXPECT_EQ(rows(o), (std::vector<int>{3, 5, 1}));
}

TEST(RecordOrder, FilteredRowsAreKeptUntilInvalidated) {
    RecordOrder o = built({record("a"), record("b"), record("c"), record("d")});
    int asked = 0;
    bool wantEven = true;
    RecordOrder::Accepts even = [&](int r) {
        ++asked;
        return (r % 2 == 0) == wantEven;
    };
    EXPECT_EQ(o.rows(even), (std::vector<int>{2, 4}));
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(o.rows(even), (std::vector<int>{2, 4}));
    EXPECT_EQ(asked, 4);  // not asked again
    wantEven = false;
    o.invalidateRows();
    EXPECT_EQ(o.rows(even), (std::vector<int>{1, 3}));
    EXPECT_EQ(rows(o), (std::vector<int>{1, 2, 3, 4}));
}

TEST(RecordOrder, AdoptsIndexEntriesWithoutTheDeletedRecords) {
    RecordOrder o;
    o.setKey(byName());
    std::vector<mdx::TagEntry> entries = {{"ALPHA   ", 3}, {"BRAVO   ", 1}, {"CHARLIE ", 2}};
    o.adopt(3, entries, {0, 0, 1, 0});
    EXPECT_TRUE(o.built());
    EXPECT_EQ(rows(o), (std::vector<int>{3, 1}));
    // The adopted keys order later records.
    o.grow(4);
    o.computeKey(4, record("bz"));
    o.addAppended(4);
    EXPECT_EQ(rows(o), (std::vector<int>{3, 1, 4}));
}

TEST(RecordOrder, SortByKeysMatchesAComparisonSortOnSharedBeginnings) {
    struct Case {
        const char* name;
        size_t keyLength;
        std::vector<std::string> stems;
    };
    const std::vector<Case> cases = {
        {"short keys", 3, {"", "a", "ab", "b"}},
        {"eight bytes exactly", 8, {"THE ADVE", "THE ADV", "ZZZZZZZZ"}},
        {"long shared beginnings", 40, {"THE ADVENTURES OF ", "THE ADVENTURE", "THE ", "\xC9T\xC9 ", ""}},
        {"one key for all", 20, {"SAME"}},
    };
    std::mt19937 rng(7);
    for (const Case& c : cases) {
        const int n = 2000;
        std::string flat;
        for (int r = 1; r <= n; ++r) {
            std::string k = c.stems[rng() % c.stems.size()];
            if (c.stems.size() > 1) k += char('A' + rng() % 3);
            k.resize(c.keyLength, ' ');
            flat += k;
        }
        std::vector<int> recs;
        for (int r = 1; r <= n; r += 1 + int(rng() % 2)) recs.push_back(r);  // some records only
        std::vector<int> want = recs;
        auto keyOf = [&](int r) { return flat.substr(size_t(r - 1) * c.keyLength, c.keyLength); };
        std::sort(want.begin(), want.end(), [&](int a, int b) {
            return keyOf(a) != keyOf(b) ? keyOf(a) < keyOf(b) : a < b;
        });
        sortByKeys(recs, flat.data(), c.keyLength);
        EXPECT_EQ(recs, want) << c.name;
    }
}
