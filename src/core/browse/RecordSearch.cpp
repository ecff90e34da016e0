#include "core/browse/RecordSearch.h"

#include <array>
#include <memory>
#include <string_view>

namespace rv::browse {

namespace {

using rv::db::Table;

// The record under the filter, read straight from the stored bytes.
class TableRecord final : public SearchRecord {
public:
    explicit TableRecord(const Table& table) : table_(table) {}

    // Finds the catalogue fields in the table's layout (again when the layout changed).
    void bind() {
        if (table_.fieldCount() == boundCount_) return;
        boundCount_ = table_.fieldCount();
        for (int n = 1; n <= rv::db::kFieldCount; ++n) index_[size_t(n - 1)] = table_.fieldIndex(rv::db::field(n).name);
    }

    std::string_view text(int field) const override {
        const int i = index_[size_t(field - 1)];
        if (i < 0) return {};
        std::string_view bytes = table_.storedView(i);
        while (!bytes.empty() && (bytes.back() == ' ' || bytes.back() == '\0')) bytes.remove_suffix(1);
        return bytes;
    }
    double number(int field) const override {
        const int i = index_[size_t(field - 1)];
        return i < 0 ? 0.0 : table_.asNumber(i);
    }
    double date(int field) const override {
        const int i = index_[size_t(field - 1)];
        return i < 0 ? 0.0 : dayNumber(table_.asDate(i));
    }

private:
    const Table& table_;
    int boundCount_ = -1;
    std::array<int, rv::db::kFieldCount> index_{};
};

}  // namespace

Table::Filter recordFilter(SearchCriteria criteria) {
    struct State {
        SearchCriteria criteria;
        std::unique_ptr<TableRecord> record;
    };
    auto state = std::make_shared<State>();
    state->criteria = std::move(criteria);
    return [state](Table& table) {
        if (!state->record) state->record = std::make_unique<TableRecord>(table);
        state->record->bind();
        return matches(state->criteria, *state->record);
    };
}

bool RecordSearch::start(const SearchCriteria& candidate) {
    if (!table_.isOpen() || candidate.empty()) return false;
    table_.setFilter(recordFilter(candidate));
    if (table_.recordCount() == 0) {
        // Nothing matched: back to what was shown before.
        if (inForce_)
            install();
        else
            table_.clearFilter();
        return false;
    }
    criteria_ = candidate;
    inForce_ = true;
    tell();
    return true;
}

void RecordSearch::end() {
    if (!inForce_) return;
    inForce_ = false;
    table_.clearFilter();
    tell();
}

void RecordSearch::resume() {
    if (criteria_.empty()) return;
    install();
    inForce_ = true;
    tell();
}

void RecordSearch::install() { table_.setFilter(recordFilter(criteria_)); }

void RecordSearch::tell() {
    if (listener_) listener_(inForce_);
}

SuspendedSearch::SuspendedSearch(RecordSearch& search) : search_(search), wasInForce_(search.inForce()) {
    if (wasInForce_) search_.end();
}

SuspendedSearch::~SuspendedSearch() {
    try {
        resume();
    } catch (...) {
        // The search stays ended; the table's own error was shown by the work that failed.
    }
}

void SuspendedSearch::resume() {
    if (!wasInForce_) return;
    wasInForce_ = false;
    search_.resume();
}

}  // namespace rv::browse
