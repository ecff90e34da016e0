// Typed Search window rows: stored as a level and evaluated against a record made of the same
// bytes.  The invariants of the stored criteria hold whatever was typed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Formats.h"
#include "core/browse/SearchCriteria.h"

namespace {

class BytesRecord final : public rv::browse::SearchRecord {
public:
    explicit BytesRecord(std::vector<std::string> texts) : texts_(std::move(texts)) {}
    std::string_view text(int field) const override { return texts_[size_t(field - 1)]; }
    double number(int field) const override {
        auto n = rv::browse::parseCriterionNumber(texts_[size_t(field - 1)]);
        return n ? *n : 0;
    }
    double date(int field) const override { return double(texts_[size_t(field - 1)].size()); }

private:
    std::vector<std::string> texts_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Lines of the input are the rows' cells, one level per 40 lines; the first byte of a line
    // chooses the comparison of a number or date row.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    for (size_t start = 0; start <= bytes.size();) {
        const size_t end = bytes.find('\n', start);
        lines.emplace_back(bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    static const rv::app::ShortDateFormat dates(10, true, [] { return rv::db::Date{2026, 1, 1}; });
    rv::browse::SearchCriteria criteria;
    for (size_t level = 0; level * 40 < lines.size() && level < 10; ++level) {
        rv::browse::SearchLevelRows rows;
        for (int field = 1; field <= 40 && level * 40 + size_t(field - 1) < lines.size(); ++field) {
            const std::string& line = lines[level * 40 + size_t(field - 1)];
            rows.cell(field) = line;
            if (!line.empty()) rows.comparison(field) = static_cast<rv::browse::RowComparison>(1 + uint8_t(line[0]) % 4);
        }
        const auto before = criteria;
        const auto result = rv::browse::storeLevel(criteria, rows, dates);
        if (criteria.items.size() > size_t(rv::browse::kMaxSearchItems)) std::abort();
        if (result.outcome == rv::browse::StoreOutcome::TooMany && !criteria.empty()) std::abort();
        if ((result.outcome == rv::browse::StoreOutcome::Invalid || result.outcome == rv::browse::StoreOutcome::NoCriteria) &&
            !(criteria == before))
            std::abort();
        if (result.ok() && !criteria.items.back().levelEnd) std::abort();
    }
    for (const auto& item : criteria.items)
        if (item.text.size() > size_t(rv::browse::kMaxCriterionText) && !item.isDate && item.test >= rv::browse::SearchTest::Contains)
            std::abort();
    std::vector<std::string> texts(40);
    for (size_t i = 0; i < 40 && i < lines.size(); ++i) texts[i] = lines[lines.size() - 1 - i];
    (void)rv::browse::matches(criteria, BytesRecord(texts));
    return 0;
}
