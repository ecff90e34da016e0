#include "core/db/SortOrder.h"

#include <filesystem>

#include "core/db/FieldCatalog.h"
#include "core/db/Mdx.h"
#include "core/db/Table.h"

namespace rv::db {

std::string BuildSortString(const SortLevels& levels) {
    auto isSet = [](int level) { return level >= 1 && level <= kFieldCount; };
    int n = 0;
    for (int level : levels) n += isSet(level) ? 1 : 0;
    if (n == 0) return {};
    const std::string width = std::to_string(80 / n);
    std::string expression;
    for (int level : levels) {
        if (!isSet(level)) continue;
        const FieldDef& f = field(level);
        const std::string name(f.name);
        switch (f.kind) {
            case FieldKind::Text: expression += "Upper(Left(" + name + "," + width + "))+"; break;
            case FieldKind::Whole: expression += "STR(" + name + ",12,0)+"; break;
            case FieldKind::Money: expression += "STR(" + name + ",12,2)+"; break;
            case FieldKind::Date: expression += "DTOS(" + name + ")+"; break;
        }
    }
    expression.pop_back();  // the last "+"
    return expression;
}

void rebuildSortTag(Table& table, const std::string& expression) {
    if (expression.empty()) {
        table.setIndexName("");
        return;
    }
    std::error_code ec;
    if (std::filesystem::exists(table.mdxPath(), ec)) {
        table.setIndexName("");
        table.deleteIndex(kSortTagName);
    }
    table.addIndex(kSortTagName, expression);
    table.setIndexName(kSortTagName);
}

namespace {

// The expression of the tag NewIndex in the readable index file, or nothing when the file is
// missing, cannot be read or has no such tag.
std::optional<std::string> sortTagExpression(const Table& table) {
    auto contents = mdx::readMdx(table.mdxPath(), false);
    if (!contents) return std::nullopt;
    for (const auto& tag : contents->tags)
        if (equalsNoCase(tag.name, kSortTagName)) return tag.expression;
    return std::nullopt;
}

}  // namespace

void openSortTag(Table& table, const std::string& expression) {
    if (expression.empty()) {
        table.setIndexName("");
        return;
    }
    if (sortTagExpression(table))
        table.setIndexName(kSortTagName);
    else
        rebuildSortTag(table, expression);
}

void regenerateSortIndexes(Table& table, const std::string& expression) {
    // Every tag the file (or, when it is damaged, this table object) knows, from the records.
    table.regenerateIndexes();
    if (expression.empty()) return;
    if (sortTagExpression(table) != expression) table.addIndex(kSortTagName, expression);
    if (!equalsNoCase(table.indexName(), kSortTagName)) table.setIndexName(kSortTagName);
}

}  // namespace rv::db
