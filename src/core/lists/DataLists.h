#pragma once
// The seventeen data lists: the entries the record editor's drop-down boxes offer, and the
// entry lists of the viewer's twenty in-grid drop-downs.  Fifteen lists belong to a database
// (NAME.001 ... NAME.016 beside its table) and have defaults in the program folder (*.LST);
// lists 14 (Oscar names) and 17 (Miscellaneous) exist only as OSCAR.LST and MISC.LST in the
// program folder and are read by the selection window each time it opens.

#include "core/lists/ListFile.h"

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rv::lists {

inline constexpr int kListCount = 17;
inline constexpr int kOscarList = 14;
inline constexpr int kMiscList = 17;
inline constexpr int kStarsList = 2;

struct ListDef {
    int number;                    // 1..17
    std::string_view name;         // as the list maintenance window names it
    std::string_view defaultFile;  // file in the program folder
    bool perDatabase;              // false for the two program-wide lists
    bool fillsViewerAtLoad;        // loading also fills the viewer drop-down(s) of the list
};

inline constexpr std::array<ListDef, kListCount> kLists{{
    {1, "Producer", "PRODUCER.LST", true, false},
    {2, "Stars", "STAR.LST", true, false},
    {3, "Director", "DIRECT.LST", true, false},
    {4, "Released By", "RELEASE.LST", true, false},
    {5, "Rating", "RATING.LST", true, true},
    {6, "Category", "CATEGORY.LST", true, true},
    {7, "Picture", "PICTURE.LST", true, true},
    {8, "Sound", "SOUND.LST", true, true},
    {9, "Format", "FORMAT.LST", true, true},
    {10, "Laser Format", "LASER.LST", true, false},
    {11, "Personal Rating", "PERSRATE.LST", true, true},
    {12, "Record Speed", "RECSPEED.LST", true, true},
    {13, "Content", "CONTENT.LST", true, true},
    {14, "Oscar Names", "OSCAR.LST", false, false},
    {15, "Checkout Person", "CHECKOUT.LST", true, true},
    {16, "Where Purchase", "PURCH.LST", true, false},
    {17, "Miscellaneous", "MISC.LST", false, false},
}};

// The list entry of a number 1..17; std::out_of_range otherwise.
const ListDef& listDef(int number);

// The fifteen database lists in the order they are loaded and saved.
inline constexpr std::array<int, 15> kDatabaseListOrder{1, 3, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16};

// The marker files, tested in this order: a database with none of them has no lists of its
// own and shows the defaults.
inline constexpr std::array<int, 4> kMarkerLists{9, 8, 7, 10};

// The catalogue numbers of the twenty fields that have a viewer drop-down (Producer, Star1 to
// Star6, Director, ...), each with the name of its combo in the main window.
struct ViewerDropDown {
    int field;
    std::string_view combo;
};
inline constexpr std::array<ViewerDropDown, 20> kViewerDropDowns{{
    {8, "MyComboProducer"},   {2, "MyComboStar1"},       {3, "MyComboStar2"},      {4, "MyComboStar3"},
    {5, "MyComboStar4"},      {6, "MyComboStar5"},       {7, "MyComboStar6"},      {9, "MyComboDirector"},
    {10, "MyComboReleaseBy"}, {27, "MyComboLaserFormat"}, {36, "MyComboWherePurch"}, {13, "MyComboRating"},
    {14, "MyComboCategory"},  {15, "MyComboPicture"},    {16, "MyComboSound"},     {17, "MyComboFormat"},
    {18, "MyComboPersRating"}, {20, "MyComboRecSpeed"},  {24, "MyComboContent"},   {33, "MyComboCheckOut"},
}};

// True for the catalogue numbers of kViewerDropDowns.
bool hasViewerDropDown(int field);

// The database file of list `number`: base path + ".001" ... (found in any letter case).
std::filesystem::path databaseListFile(const std::filesystem::path& basePath, int number);
// The default (or only) file of list `number` in the program folder (found in any letter case).
std::filesystem::path defaultListFile(const std::filesystem::path& programDir, int number);

class DataLists {
public:
    // What changed, for windows that show the entries: an editor list (by list number) or a
    // viewer drop-down (by field number).
    struct Change {
        bool viewer;
        int number;
    };
    using Listener = std::function<void(const Change&)>;

    // The editor's entries of list 1..17 (14 and 17 are held only in their files and stay
    // empty here).
    const Entries& list(int number) const;
    void setList(int number, Entries entries);

    // The entries of the viewer drop-down of a field of kViewerDropDowns.
    const Entries& viewerList(int field) const;
    void setViewerList(int field, Entries entries);

    // A typed value joins list `number`: trimmed of spaces; nothing when empty or when an
    // entry is already exactly equal (case and spaces count); otherwise appended.  Answers
    // whether it was appended.
    bool addToList(int number, std::string_view text);
    // The same rule for the viewer drop-down of a field.
    bool addToViewer(int field, std::string_view text);

    // Loads the database's lists when it has any (one of the marker files exists), the
    // defaults otherwise.
    void loadAll(const std::filesystem::path& basePath, const std::filesystem::path& programDir);
    // Loads the fifteen lists from the default files.
    void loadDefaults(const std::filesystem::path& programDir);
    // Writes the fifteen lists to the database's files; answers false when a file could not be
    // written (that file is left as it was; the others are still written).
    bool saveAll(const std::filesystem::path& basePath) const;
    // Writes the fifteen lists to the default files.
    bool saveDefaults(const std::filesystem::path& programDir) const;

    // Listeners are called after each change of a list or a viewer drop-down (the editor's
    // boxes and the viewer's drop-downs refresh their entries from it).
    int subscribe(Listener listener);
    void unsubscribe(int id);

private:
    void loadFrom(const std::function<std::filesystem::path(int)>& fileOf);
    bool saveTo(const std::function<std::filesystem::path(int)>& fileOf) const;
    void notify(bool viewer, int number) const;

    std::array<Entries, kListCount + 1> lists_{};   // by list number, [0] unused
    std::array<Entries, 41> viewer_{};              // by field number, [0] unused
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
};

}  // namespace rv::lists
