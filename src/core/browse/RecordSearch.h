#pragma once
// The search in force over the video table, and the one way commands suspend it.
//
// RecordSearch owns the criteria in force and the search-in-force flag.  While a search is in
// force the table carries a record filter that evaluates the criteria on every record it
// would present, so the viewer, counts and every walk see only the matching records.
//
// A new search is tried before it replaces anything: start() reads the table through the
// new criteria and keeps them only when a record passes; otherwise the table goes back to
// the search (or no search) that was in force before, with its criteria.
//
// Commands that must see or reopen the whole table hold a SuspendedSearch for the duration:
//
//     {
//         rv::browse::SuspendedSearch suspended(search);   // ends a search in force
//         ... close, reopen, walk the entire table ...
//     }                                                   // the same search again
//
// Opening, creating or switching to another database calls end() instead: the search does
// not come back.  A listener (the main window's "SEARCH ON" label, End Search controls,
// viewer and record count) hears every change of the flag after the table has changed.

#include <functional>

#include "core/browse/SearchCriteria.h"
#include "core/db/Table.h"

namespace rv::browse {

// The record filter for `criteria` over tables laid out like the video table (fields found
// by name; a field the table lacks reads as blank).
rv::db::Table::Filter recordFilter(SearchCriteria criteria);

class RecordSearch {
public:
    using Listener = std::function<void(bool inForce)>;

    explicit RecordSearch(rv::db::Table& table) : table_(table) {}
    RecordSearch(const RecordSearch&) = delete;
    RecordSearch& operator=(const RecordSearch&) = delete;

    bool inForce() const { return inForce_; }
    // The criteria of the search in force, or of the last one (ending keeps them).
    const SearchCriteria& criteria() const { return criteria_; }

    // Doit: filters the open table by `candidate`.  True when a record passes: `candidate`
    // is now the search in force.  False (closed table, empty criteria or no match): the
    // table shows what it showed before and the criteria in force are unchanged.
    bool start(const SearchCriteria& candidate);
    // DoEndSearch: all records again; the criteria stay.  Nothing when no search is in force.
    void end();
    // EnableEndSearch with the kept criteria: the table is read through them again.
    void resume();

    void setListener(Listener listener) { listener_ = std::move(listener); }
    rv::db::Table& table() { return table_; }

private:
    void install();
    void tell();

    rv::db::Table& table_;
    SearchCriteria criteria_;
    bool inForce_ = false;
    Listener listener_;
};

// Suspends a search in force for its lifetime and resumes it afterwards, exactly as it was.
// Does nothing when no search is in force.  The destructor never throws; call resume() to
// bring the search back earlier (or to see its errors).
class SuspendedSearch {
public:
    explicit SuspendedSearch(RecordSearch& search);
    ~SuspendedSearch();
    SuspendedSearch(const SuspendedSearch&) = delete;
    SuspendedSearch& operator=(const SuspendedSearch&) = delete;

    bool wasInForce() const { return wasInForce_; }
    void resume();
    // The work replaced the table (a restore): the search stays ended.
    void dismiss() { wasInForce_ = false; }

private:
    RecordSearch& search_;
    bool wasInForce_;
};

}  // namespace rv::browse
