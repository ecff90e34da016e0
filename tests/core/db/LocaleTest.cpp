// Numbers in files under a decimal-comma process locale: the window library sets the C
// library's locale from the environment at start, so printf and strtod would write and read
// "19,95".  Everything that goes to or comes from a table, an index key or a profile file
// must still use ".".
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include "core/app/Formats.h"
#include "core/app/Profile.h"
#include "core/app/Settings.h"
#include "core/db/DbTestSupport.h"
#include "core/db/KeyExpression.h"
#include "core/db/Table.h"
#include "core/edit/RecordUpdate.h"
#include "core/lists/DataLists.h"

using namespace rv::db;
using namespace rv::db::test;

namespace {

// Switches the whole process to a decimal-comma locale for the test's lifetime.
class DecimalCommaLocale {
public:
    DecimalCommaLocale() {
        const char* current = std::setlocale(LC_ALL, nullptr);
        saved_ = current ? current : "C";
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
                active_ = true;
                return;
            }
        }
        std::setlocale(LC_ALL, saved_.c_str());
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;
    bool active() const { return active_; }

private:
    std::string saved_;
    bool active_ = false;
};

#define REQUIRE_DECIMAL_COMMA(locale)                                                                     \
    DecimalCommaLocale locale;                                                                            \
    if (!locale.active())                                                                                 \
    GTEST_SKIP() << "no decimal-comma locale installed (localedef -i de_DE -f UTF-8 de_DE.UTF-8)"

std::string storedBytes(const fs::path& p, int recNo, const char* field) {
    Table t;
    t.setPath(p);
    t.setReadOnly(true);
    t.open();
    EXPECT_TRUE(t.moveToRecNo(recNo));
    return t.asStored(t.fieldIndex(field));
}

}  // namespace

TEST(DecimalCommaLocale, NumbersAreStoredAndReadWithAPoint) {
    REQUIRE_DECIMAL_COMMA(locale);
    TempDir dir;
    const fs::path p = dir / "V.DBF";
    Table t;
    openNewVideoTable(t, p);
    t.append();
    t.setNumber("ListPrice", 19.95);
    t.setNumber("Year", 1997);
    t.setString("PurchPrice", "7.5");
    t.post();
    t.append();
    t.setNumber("ListPrice", -1234567.005);  // rounds as the binary value does: -1234567.00
    t.post();
    t.close();

    EXPECT_EQ(storedBytes(p, 1, "ListPrice"), "          19.95");
    EXPECT_EQ(storedBytes(p, 1, "Year"), "       1997");
    EXPECT_EQ(storedBytes(p, 1, "PurchPrice"), "           7.50");
    EXPECT_EQ(storedBytes(p, 2, "ListPrice"), "    -1234567.00");

    t.open();
    ASSERT_TRUE(t.moveToRecNo(1));
    EXPECT_DOUBLE_EQ(t.asNumber("ListPrice"), 19.95);
    EXPECT_EQ(t.asString("ListPrice"), "19.95");
    // Storing what was read keeps it: no "19,00" on the second round.
    t.edit();
    t.setNumber("ListPrice", t.asNumber("ListPrice"));
    t.post();
    t.close();
    EXPECT_EQ(storedBytes(p, 1, "ListPrice"), "          19.95");
}

TEST(DecimalCommaLocale, TheEditorsUpdateStoresThePriceItLoaded) {
    REQUIRE_DECIMAL_COMMA(locale);
    TempDir dir;
    const fs::path p = dir / "V.DBF";
    Table t;
    openNewVideoTable(t, p);
    t.append();
    t.setString("Title", "Casablanca");
    t.setString("ListPrice", "19.95");
    t.post();

    rv::app::Settings settings;
    for (int currencyFormat : {1, 2}) {
        settings.currencyFormat = currencyFormat;
        const rv::app::DisplayFormats formats(settings, {',', '.', 2});
        t.setDateCodec(&formats.date());
        t.first();
        rv::edit::EditorRecord boxes = rv::edit::loadRecord(t, formats);
        EXPECT_EQ(boxes[rv::edit::kListPriceField], currencyFormat == 1 ? "19.95" : "19,95");
        rv::lists::DataLists lists;
        rv::edit::EditorMode mode = rv::edit::EditorMode::Edit;
        ASSERT_TRUE(rv::edit::updateRecord(t, lists, boxes, mode, formats).ok());
        EXPECT_EQ(t.asStored(t.fieldIndex("ListPrice")), "          19.95") << "currency format " << currencyFormat;
        t.setDateCodec(nullptr);
    }
}

TEST(DecimalCommaLocale, NumericIndexKeysUseAPoint) {
    REQUIRE_DECIMAL_COMMA(locale);
    const std::vector<KeyField> fields = {{"PRICE", 'N', 1, 15, 2}};
    const KeyExpression e = KeyExpression::compile("STR(PRICE,12,2)", fields);
    EXPECT_EQ(e.key(" " + std::string("          19.95")), "       19.95");
    EXPECT_EQ(e.key(" " + std::string("            2.5")), "        2.50");
}

TEST(DecimalCommaLocale, ProfileDecimalsAndPlainNumbersUseAPoint) {
    REQUIRE_DECIMAL_COMMA(locale);
    rv::app::ProfileFile profile = rv::app::ProfileFile::fromText("[Labels]\r\nGap=0.25\r\n");
    EXPECT_DOUBLE_EQ(profile.readDecimal("Labels", "Gap", 0), 0.25);
    profile.writeDecimal("Labels", "Width", 3.06);
    EXPECT_EQ(profile.readText("Labels", "Width", "", 255), "3.0600");
    EXPECT_EQ(rv::app::fixedNumber(1, 2, 1234.5), "1234.50");
    EXPECT_EQ(rv::app::groupedNumber(1, 2, 1234.5), "1,234.50");
}
