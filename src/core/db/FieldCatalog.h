#pragma once
// The forty fields of a video record, numbered 1 to 40.  Every setting, search criterion,
// report item and export choice names a field by its number in this table.

#include <array>
#include <optional>
#include <string_view>

namespace rv::db {

enum class FieldKind : int {
    Text = 1,       // character field of the catalogue width
    Whole = 2,      // whole number
    Money = 3,      // number with two decimals
    Date = 4,
};

struct FieldDef {
    int number;                   // 1..40
    std::string_view name;        // table field name, at most 10 characters
    FieldKind kind;
    int width;                    // text: table width; others: editor input length
    int decimals;                 // 2 for prices, -1 for Year, 0 otherwise
    std::string_view displayName; // default display name
    bool pickList;                // the search window offers a list of values
    int dataList;                 // data list number 1..17, 0 for none

    // dBase type letter of the field: "C", "N" or "D".
    char typeLetter() const { return kind == FieldKind::Text ? 'C' : kind == FieldKind::Date ? 'D' : 'N'; }
};

inline constexpr int kFieldCount = 40;

inline constexpr std::array<FieldDef, kFieldCount> kFields{{
    {1, "Title", FieldKind::Text, 60, 0, "Title", false, 0},
    {2, "Star1", FieldKind::Text, 25, 0, "Star 1", true, 2},
    {3, "Star2", FieldKind::Text, 25, 0, "Star 2", true, 2},
    {4, "Star3", FieldKind::Text, 25, 0, "Star 3", true, 2},
    {5, "Star4", FieldKind::Text, 25, 0, "Star 4", true, 2},
    {6, "Star5", FieldKind::Text, 25, 0, "Star 5", true, 2},
    {7, "Star6", FieldKind::Text, 25, 0, "Star 6", true, 2},
    {8, "Producer", FieldKind::Text, 28, 0, "Producer", true, 1},
    {9, "Director", FieldKind::Text, 28, 0, "Director", true, 3},
    {10, "ReleasedBy", FieldKind::Text, 28, 0, "Released By", true, 4},
    {11, "Year", FieldKind::Whole, 4, -1, "Year", false, 0},
    {12, "RunTime", FieldKind::Whole, 3, 0, "Play Time", false, 0},
    {13, "Rating", FieldKind::Text, 15, 0, "Rating", true, 5},
    {14, "Category", FieldKind::Text, 20, 0, "Category", true, 6},
    {15, "Picture", FieldKind::Text, 10, 0, "Picture", true, 7},
    {16, "Sound", FieldKind::Text, 10, 0, "Sound", true, 8},
    {17, "Format", FieldKind::Text, 15, 0, "Format", true, 9},
    {18, "PersonalRa", FieldKind::Text, 15, 0, "Personal Rating", true, 11},
    {19, "MediaNum", FieldKind::Text, 10, 0, "Media #", false, 0},
    {20, "RecSpeed", FieldKind::Text, 6, 0, "Rec Speed", true, 12},
    {21, "CounterSta", FieldKind::Text, 8, 0, "Counter Start", false, 0},
    {22, "CounterSto", FieldKind::Text, 8, 0, "Counter Stop", false, 0},
    {23, "Descriptio", FieldKind::Text, 140, 0, "Description", false, 0},
    {24, "Content", FieldKind::Text, 10, 0, "Content", true, 13},
    {25, "Miscellane", FieldKind::Text, 80, 0, "Miscellaneous", true, 17},
    {26, "KeyWords", FieldKind::Text, 80, 0, "Key Words", false, 0},
    {27, "LaserForma", FieldKind::Text, 12, 0, "Laser Format", true, 10},
    {28, "ListPrice", FieldKind::Money, 12, 2, "List Price", false, 0},
    {29, "OscarNom", FieldKind::Text, 110, 0, "Oscar Nomination", true, 14},
    {30, "OscarAward", FieldKind::Text, 110, 0, "Oscar Award", true, 14},
    {31, "CheckOut", FieldKind::Text, 3, 0, "Checked Out", true, 0},
    {32, "CheckDate", FieldKind::Date, 10, 0, "Check Out Date", false, 0},
    {33, "CheckName", FieldKind::Text, 25, 0, "Check Out Person", true, 15},
    {34, "PurchPrice", FieldKind::Money, 12, 2, "Purch Price", false, 0},
    {35, "PurchDate", FieldKind::Date, 10, 0, "Purch Date", false, 0},
    {36, "WherePurch", FieldKind::Text, 25, 0, "Where Purchased", true, 16},
    {37, "Viewed", FieldKind::Text, 3, 0, "Viewed", true, 0},
    {38, "Writers", FieldKind::Text, 60, 0, "Writers", false, 0},
    {39, "UserDef1", FieldKind::Text, 40, 0, "User Defined 1", false, 0},
    {40, "UserDef2", FieldKind::Text, 40, 0, "User Defined 2", false, 0},
}};

// The fields the windows show as check boxes, storing "Yes" or "No": Checked Out and Viewed.
inline constexpr std::array<int, 2> kCheckBoxFields{31, 37};
inline constexpr bool isCheckBoxField(int number) {
    for (int f : kCheckBoxFields)
        if (f == number) return true;
    return false;
}

// The catalogue entry of a field number 1..40; throws std::out_of_range otherwise.
const FieldDef& field(int number);

// The catalogue number of a table field name, compared without regard to case.
std::optional<int> fieldNumber(std::string_view name);

// ASCII case-insensitive equality, the comparison used for field, section and key names.
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace rv::db
