#include "core/browse/SearchPickList.h"

#include "core/app/Formats.h"
#include "core/db/FieldCatalog.h"
#include "core/lists/ListFile.h"

namespace rv::browse {

rv::lists::Entries searchPickList(int field, const rv::lists::DataLists* lists, const std::filesystem::path& programDir) {
    const rv::db::FieldDef& def = rv::db::field(field);
    if (!def.pickList) return {};
    if (def.name == "CheckOut" || def.name == "Viewed") return {"YES", "NO"};
    if (def.name == "Miscellane" || def.name == "OscarNom" || def.name == "OscarAward") {
        rv::lists::Entries out;
        for (const std::string& line : rv::lists::readListFile(rv::lists::defaultListFile(programDir, def.dataList))) {
            std::string entry = rv::app::trim(line);
            if (!entry.empty()) out.push_back(std::move(entry));
        }
        return out;
    }
    return lists && def.dataList > 0 ? lists->list(def.dataList) : rv::lists::Entries{};
}

}  // namespace rv::browse
