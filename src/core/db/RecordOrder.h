#pragma once
// The order in which an open table shows its records: the live record numbers sorted by the
// key of the ordering expression (by number when there is none), over a flat array of keys,
// one fixed-width key per record.
//
// Changes are taken in cheaply and settled when the order is next read: records appended
// since are kept aside (pending) and merged in one pass; records deleted stay in place
// (stale) until then, so that deleting many records one after another does not shift the
// whole order each time.  While a record filter is installed, rows() is the order filtered,
// rebuilt when it was invalidated.  The unit knows nothing of files: the table hands it the
// records' bytes.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/KeyExpression.h"
#include "core/db/Mdx.h"

namespace rv::db {

class RecordOrder {
public:
    using Accepts = std::function<bool(int recNo)>;

    // The key that orders the records; nothing for record-number order.  Takes effect at the
    // next build.
    void setKey(std::optional<KeyExpression> key);
    const std::optional<KeyExpression>& key() const { return key_; }
    int keyLength() const { return key_ ? key_->keyLength() : 0; }

    // Building from every record of a table of `count` records: begin, then add each record
    // (in ascending number; deleted ones too, they are skipped), then finish.
    void begin(int count);
    void add(int recNo, std::string_view record);
    void finish();
    // The order from index entries of the ordering key (every record, in key order);
    // deleted[r] is true for the deleted record r (index 0 unused).
    void adopt(int count, const std::vector<mdx::TagEntry>& entries, const std::vector<char>& deleted);
    bool built() const { return built_; }
    void clear();  // forgets everything; built() becomes false

    // ---- Changes ----
    // Room for keys up to record `count` (records appended since the build).
    void grow(int count);
    // Records the key of record r from its bytes (the new or changed record).
    void computeKey(int recNo, std::string_view record);
    void addAppended(int recNo);  // a live record appended: pending until settled
    void markDeleted(int recNo);  // a record deleted: stale until settled
    size_t deletedSinceSettled() const { return stale_.size(); }
    void erase(int recNo);   // takes a record out now (settling first)
    void insert(int recNo);  // puts a record in its place now (settling first)
    void invalidateRows() { visibleValid_ = false; }

    // ---- Reading ----
    // Merges the pending records in and takes the stale ones out.
    void settle();
    // Merges the pending records only; the stale ones stay (callers skip them).
    void mergePending();
    const std::vector<int>& order() const { return order_; }  // as it stands, stale ones included
    // The settled order, filtered by `accepts` when one is given (kept until invalidated).
    const std::vector<int>& rows(const Accepts& accepts);
    // Record a before record b: by key, equal keys by number.
    bool less(int a, int b) const;
    // Position of record r's place in `rows` (where it is, or where it would be).
    size_t placeOf(const std::vector<int>& rows, int recNo) const;

private:
    const char* keyOf(int r) const { return keys_.data() + size_t(r - 1) * size_t(keyLength()); }

    std::optional<KeyExpression> key_;
    std::string keys_;            // keyLength bytes per record, record 1 first
    std::vector<int> order_;      // live records in order
    std::vector<int> pending_;    // live records appended since the order was last settled
    std::vector<int> stale_;      // records deleted since, still in order_ until it is settled
    std::vector<int> visible_;    // order_ filtered, built on demand
    bool visibleValid_ = false;
    bool built_ = false;
};

// Sorts record numbers (given in ascending order) by their keys (kl bytes each in `flat`,
// record 1 first), equal keys by number.
void sortByKeys(std::vector<int>& recs, const char* flat, size_t kl);

}  // namespace rv::db
