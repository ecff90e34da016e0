#include "core/edit/EditorRecord.h"

#include <gtest/gtest.h>

namespace rv::edit {
namespace {

TEST(EditorRecord, EveryFieldHasOneBox) {
    for (const auto& f : db::kFields) EXPECT_EQ(boxOfField(f.number).field, f.number);
    EXPECT_EQ(boxOfField(kListPriceField).name, "ListPrice");
    EXPECT_EQ(maxLength(23), 140);
}

TEST(EditorRecord, ClearLeavesZerosInPlayTimeAndPrices) {
    const EditorRecord boxes = clearedRecord();
    for (const auto& f : db::kFields) {
        const char* expected = (f.number == kRunTimeField || f.number == kListPriceField || f.number == kPurchPriceField)
                                   ? "0"
                                   : (f.number == kCheckOutField || f.number == kViewedField) ? "No" : "";
        EXPECT_EQ(boxes[f.number], expected) << f.name;
    }
    EXPECT_FALSE(boxes.loadedDate(kCheckDateField));
}

TEST(EditorRecord, ChangesAreMeasuredAgainstTheSnapshot) {
    EditorRecord snapshot = clearedRecord();
    snapshot[1] = "Casablanca";
    snapshot[kCheckDateField] = "03/05/97";

    struct Case {
        const char* what;
        int field;
        std::string value;
        bool changed;
    };
    const Case cases[] = {
        {"same title", 1, "Casablanca", false},
        {"other case", 1, "casablanca", true},
        {"trailing space in a text box", 1, "Casablanca ", true},
        {"date box compared trimmed", kCheckDateField, " 03/05/97 ", false},
        {"other date", kCheckDateField, "03/06/97", true},
        {"check box", kViewedField, "Yes", true},
    };
    for (const auto& c : cases) {
        EditorRecord boxes = snapshot;
        boxes[c.field] = c.value;
        EXPECT_EQ(valuesChanged(boxes, snapshot), c.changed) << c.what;
    }
    // Texts count up to the box's length only: a loaded price longer than its box, against
    // a snapshot that kept the box's twelve characters, is no change.
    EditorRecord boxes = snapshot;
    boxes[kListPriceField] = "1,234,567,890.00";
    snapshot[kListPriceField] = "1,234,567,89";
    EXPECT_FALSE(valuesChanged(boxes, snapshot));
    boxes[kListPriceField] = "1,234,567,80";
    EXPECT_TRUE(valuesChanged(boxes, snapshot));
}

TEST(EditorRecord, CheckedOutBoxRemembersDateAndPerson) {
    EditorRecord boxes = clearedRecord();
    boxes[kCheckDateField] = "03/05/97";
    boxes[kCheckNameField] = "Rick";
    boxes.setChecked(kCheckOutField, true);
    CheckOutMemory memory;
    memory.remember(boxes);

    boxes.setChecked(kCheckOutField, false);
    memory.toggled(boxes, false);
    EXPECT_EQ(boxes[kCheckDateField], "");
    EXPECT_EQ(boxes[kCheckNameField], "");

    boxes.setChecked(kCheckOutField, true);
    memory.toggled(boxes, true);
    EXPECT_EQ(boxes[kCheckDateField], "03/05/97");
    EXPECT_EQ(boxes[kCheckNameField], "Rick");

    // What was typed while checked is what comes back.
    boxes[kCheckNameField] = "Ilsa";
    memory.toggled(boxes, false);
    memory.toggled(boxes, true);
    EXPECT_EQ(boxes[kCheckNameField], "Ilsa");
}

}  // namespace
}  // namespace rv::edit
