#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/db/FieldCatalog.h"

using namespace rv::db;

TEST(FieldCatalog, NumbersNamesAndKindsAreConsistent) {
    std::set<std::string> names;
    for (int n = 1; n <= kFieldCount; ++n) {
        const FieldDef& f = field(n);
        EXPECT_EQ(f.number, n);
        EXPECT_LE(f.name.size(), 10u) << f.name;
        EXPECT_LE(f.displayName.size(), 20u) << f.displayName;
        EXPECT_TRUE(names.insert(std::string(f.name)).second) << "duplicate " << f.name;
        EXPECT_EQ(f.decimals == 2, f.kind == FieldKind::Money) << f.name;
    }
    EXPECT_EQ(field(11).decimals, -1);
    EXPECT_EQ(field(12).kind, FieldKind::Whole);
    EXPECT_EQ(field(32).typeLetter(), 'D');
    EXPECT_EQ(field(35).typeLetter(), 'D');
    EXPECT_EQ(field(28).typeLetter(), 'N');
    EXPECT_EQ(field(1).typeLetter(), 'C');
    EXPECT_THROW(field(0), std::out_of_range);
    EXPECT_THROW(field(41), std::out_of_range);
}

TEST(FieldCatalog, LooksUpNamesWithoutRegardToCase) {
    EXPECT_EQ(fieldNumber("title"), 1);
    EXPECT_EQ(fieldNumber("STAR1"), 2);
    EXPECT_EQ(fieldNumber("PersonalRa"), 18);
    EXPECT_EQ(fieldNumber("userdef2"), 40);
    EXPECT_FALSE(fieldNumber("PersonalRating").has_value());
    EXPECT_FALSE(fieldNumber("").has_value());
}

namespace rv::db {
namespace {

TEST(FieldCatalog, CheckBoxFieldsAreTheYesNoTextFields) {
    for (const auto& f : kFields) {
        const bool box = f.number == 31 || f.number == 37;  // Checked Out, Viewed
        EXPECT_EQ(isCheckBoxField(f.number), box) << f.name;
        if (box) {
            EXPECT_EQ(f.kind, FieldKind::Text);
            EXPECT_EQ(f.width, 3);  // "Yes" / "No"
        }
    }
    EXPECT_FALSE(isCheckBoxField(0));
    EXPECT_FALSE(isCheckBoxField(41));
}

}  // namespace
}  // namespace rv::db
