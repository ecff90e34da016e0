#pragma once
// The selection window for Oscar awards, Oscar nominations and miscellaneous entries: the
// program-wide list in alphabetical order, any number of entries picked, joined by ", ".

#include <QDialog>

#include <string>

#include "core/lists/Selection.h"

class QListWidget;
class QPushButton;

namespace rv::gui {

class MainHost;

class TMyOscarAward : public QDialog {
    Q_OBJECT
public:
    // `currentText` is the target box's text; the Miscellaneous kind preselects its items.
    TMyOscarAward(MainHost& main, rv::lists::SelectionKind kind, const std::string& currentText,
                  QWidget* parent = nullptr);

    // The joined text of the selected entries (what OK puts into the box).
    std::string joinedText() const;

    void OkButtonClick();
    void CancelButtonClick();
    // The row of the entry equal to the text, or -1.
    int FindMisc(const std::string& text) const { return selection_.find(text); }

    QListWidget* OscarList = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void LoadList();

    MainHost& main_;
    rv::lists::Selection selection_;
    bool placed_ = false;
};

}  // namespace rv::gui
