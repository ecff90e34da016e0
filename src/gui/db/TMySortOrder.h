#pragma once
// The Sort Order window: four levels, each a drop-down of "<NONE>" and the forty display
// names.  OK stores the levels, rebuilds the index tag NewIndex for the new order and writes
// the database's settings through the session's exclusive-use sequence.

#include <QDialog>

#include <array>

#include "core/db/SortOrder.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace rv::gui {

class MainHost;

class TMySortOrder : public QDialog {
    Q_OBJECT
public:
    explicit TMySortOrder(MainHost& main, QWidget* parent = nullptr);

    // The levels the four lists show.
    rv::db::SortLevels selectedLevels() const;
    void OkButtonClick();

    std::array<QLabel*, 4> LabelSort{};
    std::array<QComboBox*, 4> ComboBox{};
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetColors();

    MainHost& main_;
    bool placed_ = false;
};

}  // namespace rv::gui
