#include "core/db/RecordOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/db/DbfFormat.h"

namespace rv::db {

// Keys are fixed-width byte strings, so the first eight bytes of each are sorted as one
// integer by a least-significant-digit radix sort (stable, so equal prefixes keep the numbers
// ascending); only runs sharing those eight bytes are then compared on the rest.
void sortByKeys(std::vector<int>& recs, const char* flat, size_t kl) {
    struct Item {
        uint64_t prefix;
        int rec;
    };
    const size_t n = recs.size();
    // Filled before they are read, so not cleared when made.
    std::unique_ptr<Item[]> items(new Item[n]), spare(new Item[n]);
    for (size_t j = 0; j < n; ++j) {
        const auto* k = reinterpret_cast<const unsigned char*>(flat) + size_t(recs[j] - 1) * kl;
        uint64_t prefix = 0;
        for (size_t i = 0; i < 8; ++i) prefix = prefix << 8 | (i < kl ? k[i] : 0);
        items[j] = {prefix, recs[j]};
    }
    for (int shift = 0; shift < 64 && n > 1; shift += 8) {
        size_t counts[257] = {};
        for (size_t j = 0; j < n; ++j) ++counts[((items[j].prefix >> shift) & 0xFF) + 1];
        if (counts[((items[0].prefix >> shift) & 0xFF) + 1] == n) continue;  // one digit only
        for (int b = 0; b < 256; ++b) counts[b + 1] += counts[b];
        for (size_t j = 0; j < n; ++j) spare[counts[(items[j].prefix >> shift) & 0xFF]++] = items[j];
        items.swap(spare);
    }
    if (kl > 8) {
        auto rest = [flat, kl](const Item& a, const Item& b) {
            int c = std::memcmp(flat + size_t(a.rec - 1) * kl + 8, flat + size_t(b.rec - 1) * kl + 8, kl - 8);
            return c != 0 ? c < 0 : a.rec < b.rec;
        };
        for (size_t i = 0; i < n;) {
            size_t j = i + 1;
            while (j < n && items[j].prefix == items[i].prefix) ++j;
            if (j - i > 1) std::sort(items.get() + i, items.get() + j, rest);
            i = j;
        }
    }
    for (size_t i = 0; i < n; ++i) recs[i] = items[i].rec;
}

void RecordOrder::setKey(std::optional<KeyExpression> key) { key_ = std::move(key); }

void RecordOrder::clear() {
    keys_.clear();
    order_.clear();
    pending_.clear();
    stale_.clear();
    visible_.clear();
    visibleValid_ = false;
    built_ = false;
}

void RecordOrder::begin(int count) {
    keys_.assign(size_t(count) * size_t(keyLength()), ' ');
    order_.clear();
    pending_.clear();
    stale_.clear();
    order_.reserve(size_t(count));
}

void RecordOrder::add(int r, std::string_view record) {
    if (!record.empty() && record[0] == dbf::kDeletedFlag) return;
    computeKey(r, record);
    order_.push_back(r);
}

void RecordOrder::finish() {
    if (key_) sortByKeys(order_, keys_.data(), size_t(keyLength()));
    built_ = true;
    visibleValid_ = false;
}

void RecordOrder::adopt(int count, const std::vector<mdx::TagEntry>& entries, const std::vector<char>& deleted) {
    const size_t kl = size_t(keyLength());
    begin(count);
    for (const auto& e : entries) {
        std::memcpy(keys_.data() + (e.recno - 1) * kl, e.key.data(), kl);
        if (!deleted[e.recno]) order_.push_back(int(e.recno));
    }
    built_ = true;
    visibleValid_ = false;
}

void RecordOrder::grow(int count) { keys_.resize(size_t(count) * size_t(keyLength()), ' '); }

void RecordOrder::computeKey(int r, std::string_view record) {
    if (key_) key_->keyInto(record, keys_.data() + size_t(r - 1) * size_t(keyLength()));
}

void RecordOrder::addAppended(int r) {
    pending_.push_back(r);
    visibleValid_ = false;
}

void RecordOrder::markDeleted(int r) {
    stale_.push_back(r);
    visibleValid_ = false;
}

bool RecordOrder::less(int a, int b) const {
    if (!key_) return a < b;
    int c = std::memcmp(keyOf(a), keyOf(b), size_t(keyLength()));
    return c < 0 || (c == 0 && a < b);
}

void RecordOrder::settle() {
    mergePending();
    if (!stale_.empty()) {
        std::sort(stale_.begin(), stale_.end());
        std::erase_if(order_, [this](int r) { return std::binary_search(stale_.begin(), stale_.end(), r); });
        stale_.clear();
        visibleValid_ = false;
    }
}

void RecordOrder::mergePending() {
    if (pending_.empty()) return;
    if (key_) {
        std::sort(pending_.begin(), pending_.end(), [this](int a, int b) { return less(a, b); });
        size_t mid = order_.size();
        order_.insert(order_.end(), pending_.begin(), pending_.end());
        std::inplace_merge(order_.begin(), order_.begin() + long(mid), order_.end(),
                           [this](int a, int b) { return less(a, b); });
    } else {
        order_.insert(order_.end(), pending_.begin(), pending_.end());  // numbers only grow
    }
    pending_.clear();
    visibleValid_ = false;
}

void RecordOrder::erase(int r) {
    settle();
    auto it = std::lower_bound(order_.begin(), order_.end(), r, [this](int a, int b) { return less(a, b); });
    if (it != order_.end() && *it == r) order_.erase(it);
    visibleValid_ = false;
}

void RecordOrder::insert(int r) {
    settle();
    auto it = std::lower_bound(order_.begin(), order_.end(), r, [this](int a, int b) { return less(a, b); });
    order_.insert(it, r);
    visibleValid_ = false;
}

const std::vector<int>& RecordOrder::rows(const Accepts& accepts) {
    settle();
    if (!accepts) return order_;
    if (!visibleValid_) {
        visible_.clear();
        for (int r : order_)
            if (accepts(r)) visible_.push_back(r);
        visibleValid_ = true;
    }
    return visible_;
}

size_t RecordOrder::placeOf(const std::vector<int>& R, int r) const {
    return size_t(std::lower_bound(R.begin(), R.end(), r, [this](int a, int b) { return less(a, b); }) - R.begin());
}

}  // namespace rv::db
