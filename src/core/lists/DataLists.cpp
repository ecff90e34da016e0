#include "core/lists/DataLists.h"

#include "core/app/Formats.h"
#include "core/app/Paths.h"
#include "core/db/FieldCatalog.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace rv::lists {

namespace fs = std::filesystem;

const ListDef& listDef(int number) {
    if (number < 1 || number > kListCount) throw std::out_of_range("data list number " + std::to_string(number));
    return kLists[static_cast<std::size_t>(number - 1)];
}

bool hasViewerDropDown(int field) {
    return std::any_of(kViewerDropDowns.begin(), kViewerDropDowns.end(),
                       [field](const ViewerDropDown& d) { return d.field == field; });
}

fs::path databaseListFile(const fs::path& basePath, int number) {
    char extension[8];
    std::snprintf(extension, sizeof extension, ".%03d", number);
    return app::resolveNoCase(fs::path(basePath.string() + extension));
}

fs::path defaultListFile(const fs::path& programDir, int number) {
    return app::resolveNoCase(programDir / std::string(listDef(number).defaultFile));
}

const Entries& DataLists::list(int number) const {
    listDef(number);
    return lists_[static_cast<std::size_t>(number)];
}

void DataLists::setList(int number, Entries entries) {
    listDef(number);
    lists_[static_cast<std::size_t>(number)] = std::move(entries);
    notify(false, number);
}

const Entries& DataLists::viewerList(int field) const {
    if (!hasViewerDropDown(field)) throw std::out_of_range("no viewer drop-down for field " + std::to_string(field));
    return viewer_[static_cast<std::size_t>(field)];
}

void DataLists::setViewerList(int field, Entries entries) {
    if (!hasViewerDropDown(field)) throw std::out_of_range("no viewer drop-down for field " + std::to_string(field));
    viewer_[static_cast<std::size_t>(field)] = std::move(entries);
    notify(true, field);
}

namespace {

bool addTrimmed(Entries& entries, std::string_view text) {
    std::string value = app::trim(text);
    if (value.empty()) return false;
    if (std::find(entries.begin(), entries.end(), value) != entries.end()) return false;
    entries.push_back(std::move(value));
    return true;
}

// The viewer drop-down that loading fills together with list `number`, or 0 for none.
int viewerFieldLoadedWith(int number) {
    if (!listDef(number).fillsViewerAtLoad) return 0;
    for (const auto& f : db::kFields)
        if (f.dataList == number) return f.number;
    return 0;
}

}  // namespace

bool DataLists::addToList(int number, std::string_view text) {
    listDef(number);
    if (!addTrimmed(lists_[static_cast<std::size_t>(number)], text)) return false;
    notify(false, number);
    return true;
}

bool DataLists::addToViewer(int field, std::string_view text) {
    if (!hasViewerDropDown(field)) throw std::out_of_range("no viewer drop-down for field " + std::to_string(field));
    if (!addTrimmed(viewer_[static_cast<std::size_t>(field)], text)) return false;
    notify(true, field);
    return true;
}

void DataLists::loadFrom(const std::function<fs::path(int)>& fileOf) {
    for (int number : kDatabaseListOrder) {
        Entries entries = readListFile(fileOf(number));
        if (int field = viewerFieldLoadedWith(number)) setViewerList(field, entries);
        setList(number, std::move(entries));
    }
}

bool DataLists::saveTo(const std::function<fs::path(int)>& fileOf) const {
    bool all = true;
    for (int number : kDatabaseListOrder)
        if (!writeListFile(fileOf(number), list(number))) all = false;
    return all;
}

void DataLists::loadAll(const fs::path& basePath, const fs::path& programDir) {
    std::error_code ec;
    const bool ownLists = std::any_of(kMarkerLists.begin(), kMarkerLists.end(), [&](int number) {
        return fs::exists(databaseListFile(basePath, number), ec);
    });
    if (!ownLists) {
        loadDefaults(programDir);
        return;
    }
    loadFrom([&](int number) { return databaseListFile(basePath, number); });
}

void DataLists::loadDefaults(const fs::path& programDir) {
    loadFrom([&](int number) { return defaultListFile(programDir, number); });
}

bool DataLists::saveAll(const fs::path& basePath) const {
    return saveTo([&](int number) { return databaseListFile(basePath, number); });
}

bool DataLists::saveDefaults(const fs::path& programDir) const {
    return saveTo([&](int number) { return defaultListFile(programDir, number); });
}

int DataLists::subscribe(Listener listener) {
    listeners_.emplace_back(nextListener_, std::move(listener));
    return nextListener_++;
}

void DataLists::unsubscribe(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void DataLists::notify(bool viewer, int number) const {
    const auto listeners = listeners_;  // a listener may unsubscribe while it runs
    for (const auto& [id, listener] : listeners) listener(Change{viewer, number});
}

}  // namespace rv::lists
