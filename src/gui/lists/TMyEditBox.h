#pragma once
// The list maintenance window: add, delete and sort the entries of one data list.  It works
// on a copy; only OK stores the copy back (and writes every list of the database).

#include <QDialog>

#include <filesystem>

#include "core/lists/ListMaintenance.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace rv::gui {

class MainHost;

class TMyEditBox : public QDialog {
    Q_OBJECT
public:
    // The window for list `list`, its entries taken from `lists` (or, for the Oscar names and
    // Miscellaneous lists, from their files in the main window's program folder).
    TMyEditBox(MainHost& main, rv::lists::DataLists& lists, int list, QWidget* parent = nullptr);

    const rv::lists::ListEditor& workingCopy() const { return editor_; }

    void AddButtonClick();
    void DeleteButtonClick();
    void SortButtonClick();
    void OkButtonClick();
    void CancelButtonClick();

    QLineEdit* AddInfo = nullptr;
    QPushButton* AddButton = nullptr;
    QListWidget* TheList = nullptr;
    QPushButton* DeleteButton = nullptr;
    QPushButton* SortButton = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void SetColors();
    // Shows the working copy's entries and selection.
    void showEntries();

    MainHost& main_;
    rv::lists::DataLists& lists_;
    rv::lists::ListEditor editor_;
    bool placed_ = false;
};

}  // namespace rv::gui
