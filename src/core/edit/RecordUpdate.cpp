#include "core/edit/RecordUpdate.h"

#include "core/app/Formats.h"
#include "core/db/Table.h"
#include "core/lists/DataLists.h"

#include <array>

namespace rv::edit {

namespace {

// The drop-down boxes in the order their texts join the editor's lists, and the viewer
// drop-downs in the order they receive them.
constexpr std::array<int, 20> kListBoxOrder{8, 9, 2, 3, 4, 5, 6, 7, 10, 13, 14, 15, 16, 17, 27, 18, 20, 24, 33, 36};
constexpr std::array<int, 20> kViewerOrder{8, 9, 2, 3, 4, 5, 6, 7, 10, 27, 36, 13, 14, 15, 16, 17, 18, 20, 24, 33};

}  // namespace

EditorRecord loadRecord(const db::Table& table, const app::DisplayFormats& formats) {
    EditorRecord boxes;
    boxes.setChecked(kCheckOutField, false);
    boxes.setChecked(kViewedField, false);
    if (table.recNo() == 0) return boxes;  // no current record: empty boxes
    for (const auto& f : db::kFields) {
        switch (boxOfField(f.number).kind) {
            case BoxKind::Check:
                boxes.setChecked(f.number, table.asString(f.name) == "Yes");
                break;
            case BoxKind::Date: {
                const db::Date date = table.asDate(f.name);
                boxes[f.number] = date.isEmpty() ? std::string() : formats.date().format(date);
                boxes.setLoadedDate(f.number, LoadedDate{boxes[f.number], date});
                break;
            }
            case BoxKind::Price:
                if (!table.asString(f.name).empty())
                    boxes[f.number] = app::trim(formats.formatCurrency(1, table.asNumber(f.name)));
                break;
            case BoxKind::Text:
            case BoxKind::DropDown:
                boxes[f.number] = table.asString(f.name);
                break;
        }
    }
    return boxes;
}

void addTypedValues(lists::DataLists& lists, const EditorRecord& boxes) {
    for (int field : kListBoxOrder) lists.addToList(db::field(field).dataList, boxes[field]);
    for (int field : kViewerOrder) lists.addToViewer(field, app::trim(boxes[field]));
}

int writeRecord(db::Table& table, const EditorRecord& boxes, const CheckedValues& values, EditorMode& mode) {
    // Editing with no current record (an empty table) adds one.  The current record decides,
    // not the count: while a search is in force the count covers only matching records.
    if (mode != EditorMode::Edit || table.recNo() == 0)
        table.append();
    else
        table.edit();
    try {
        for (const auto& f : db::kFields) {
            switch (boxOfField(f.number).kind) {
                case BoxKind::Check:
                    table.setString(f.name, boxes.checked(f.number) ? "Yes" : "No");
                    break;
                case BoxKind::Date:
                    table.setDate(f.name, f.number == kCheckDateField ? values.checkDate : values.purchDate);
                    break;
                case BoxKind::Price:
                    table.setNumber(f.name, f.number == kListPriceField ? values.listPrice : values.purchPrice);
                    break;
                case BoxKind::Text:
                case BoxKind::DropDown:
                    if (f.kind == db::FieldKind::Whole) {
                        // A checked whole number: trimmed, a leading "+" dropped; empty stays empty.
                        std::string number = app::trim(boxes[f.number]);
                        if (!number.empty() && number[0] == '+') number.erase(0, 1);
                        table.setString(f.name, number);
                    } else {
                        table.setString(f.name, boxes[f.number]);
                    }
                    break;
            }
        }
        table.post();
    } catch (...) {
        if (table.state() == db::Table::State::Edit || table.state() == db::Table::State::Insert) table.cancel();
        throw;
    }
    mode = EditorMode::Edit;
    return table.recNo();
}

UpdateResult updateRecord(db::Table& table, lists::DataLists& lists, const EditorRecord& boxes, EditorMode& mode,
                          const app::DisplayFormats& formats) {
    const Validation checked = validate(boxes, formats);
    if (checked.error) return UpdateResult{checked.error, 0};
    addTypedValues(lists, boxes);
    return UpdateResult{std::nullopt, writeRecord(table, boxes, checked.values, mode)};
}

}  // namespace rv::edit
