#pragma once
// "Search": search by form.  The user types criteria beside the forty fields, one level at a
// time (up to ten, "&Find More" stores a level and starts the next), and "&Ok" stores the
// last level and runs the search.
//
// The window builds its criteria in a working copy: the search in force and its criteria
// change only when "&Ok" finds matching records.  "E&xit", a search without matches and
// every refused entry leave the search in force exactly as it was.

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>

#include "core/browse/RecordSearch.h"
#include "core/browse/SearchCriteria.h"

class QPushButton;
class QTableWidget;

namespace rv::app {
struct Settings;
class ShortDateFormat;
}  // namespace rv::app
namespace rv::lists {
class DataLists;
}

namespace rv::gui {

// What the Search window works with.
struct SearchWindowContext {
    const rv::app::Settings& settings;
    const rv::app::ShortDateFormat& dates;    // reads dates and gives the date template
    rv::browse::RecordSearch& search;         // the search in force over the video table
    const rv::lists::DataLists* lists = nullptr;  // the record editor's data lists
    std::filesystem::path programDir;         // MISC.LST and OSCAR.LST
    double factor = 1.0;                      // the screen scale factor
    std::function<void(QWidget*)> place;      // dialog placement
    std::function<void(const QString&)> help; // opens the help at a keyword
};

class TMySearch : public QDialog {
    Q_OBJECT
public:
    explicit TMySearch(SearchWindowContext context, QWidget* parent = nullptr);

    static constexpr const char* kHelpKeyword = "Search Window";

    // Controls, named as the window names them.
    QPushButton* OkButton = nullptr;
    QPushButton* ExitButton = nullptr;
    QPushButton* ClearButton = nullptr;
    QPushButton* MoreButton = nullptr;
    QPushButton* HelpButton = nullptr;
    QTableWidget* SearchGrid = nullptr;

    int level() const { return level_; }
    // The criteria stored so far by this window (not yet in force).
    const rv::browse::SearchCriteria& workingCriteria() const { return working_; }
    rv::browse::RowComparison comparison(int field) const { return comparisons_[size_t(field - 1)]; }
    // The input template of a row's criteria cell ("" for free text of the field's width).
    QString editMask(int field) const;

    void SetColors();
    bool SaveFields();
    void ClearSearch();
    bool Doit();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OkButtonClick();
    void MoreButtonClick();
    void ExitButtonClick();
    void optionsClicked(int row);
    void clearCriteriaColumn();
    void setHeading();

    SearchWindowContext context_;
    rv::browse::SearchCriteria working_;
    std::array<rv::browse::RowComparison, rv::db::kFieldCount> comparisons_{};
    int level_ = 1;
    bool placed_ = false;
};

}  // namespace rv::gui
