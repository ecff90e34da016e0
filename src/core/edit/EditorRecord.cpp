#include "core/edit/EditorRecord.h"

#include "core/app/Formats.h"

#include <stdexcept>

namespace rv::edit {

const EditorBox& boxOfField(int field) {
    for (const auto& box : kEditorBoxes)
        if (box.field == field) return box;
    throw std::out_of_range("no editor box for field " + std::to_string(field));
}

int maxLength(int field) { return db::field(field).width; }

const std::optional<LoadedDate>& EditorRecord::loadedDate(int field) const {
    if (field == kCheckDateField) return checkDate_;
    if (field == kPurchDateField) return purchDate_;
    throw std::out_of_range("field " + std::to_string(field) + " is no date field");
}

void EditorRecord::setLoadedDate(int field, std::optional<LoadedDate> loaded) {
    if (field == kCheckDateField)
        checkDate_ = std::move(loaded);
    else if (field == kPurchDateField)
        purchDate_ = std::move(loaded);
    else
        throw std::out_of_range("field " + std::to_string(field) + " is no date field");
}

EditorRecord clearedRecord() {
    EditorRecord boxes;
    boxes[kRunTimeField] = "0";
    boxes[kListPriceField] = "0";
    boxes[kPurchPriceField] = "0";
    boxes.setChecked(kCheckOutField, false);
    boxes.setChecked(kViewedField, false);
    return boxes;
}

bool valuesChanged(const EditorRecord& boxes, const EditorRecord& snapshot) {
    for (const auto& box : kEditorBoxes) {
        const std::string& now = boxes[box.field];
        const std::string& saved = snapshot[box.field];
        switch (box.kind) {
            case BoxKind::Check:
                if (boxes.checked(box.field) != snapshot.checked(box.field)) return true;
                break;
            case BoxKind::Date:
                if (app::trim(now) != app::trim(saved)) return true;
                break;
            default: {
                const auto width = static_cast<std::size_t>(maxLength(box.field));
                if (now.substr(0, width) != saved.substr(0, width)) return true;
            }
        }
    }
    return false;
}

void CheckOutMemory::remember(const EditorRecord& boxes) {
    date = boxes[kCheckDateField].substr(0, 10);
    person = boxes[kCheckNameField].substr(0, 30);
}

void CheckOutMemory::toggled(EditorRecord& boxes, bool checkedNow) {
    if (checkedNow) {
        boxes[kCheckDateField] = date;
        boxes[kCheckNameField] = person;
    } else {
        remember(boxes);
        boxes[kCheckDateField].clear();
        boxes[kCheckNameField].clear();
    }
}

bool isBlankDate(std::string_view text) {
    std::string rest;
    for (char c : text)
        if (c != ' ' && c != '_') rest += c;
    if (rest.empty()) return true;
    return rest.size() == 2 && rest[0] == rest[1] && (rest[0] == '/' || rest[0] == '-' || rest[0] == '.');
}

}  // namespace rv::edit
