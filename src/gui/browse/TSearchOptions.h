#pragma once
// "Search Options": the comparison of a number or date row of the Search window, or an entry
// of a pick-list row's list.

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

namespace rv::app {
struct Settings;
}

namespace rv::gui {

class TSearchOptions : public QDialog {
    Q_OBJECT
public:
    // `entries` fill the list; `selected` is the entry selected at first (-1 for none).
    TSearchOptions(const QString& fieldName, const QStringList& entries, int selected, const rv::app::Settings& settings,
                   QWidget* parent = nullptr);

    // The comparisons a number or date row offers, in the order of their codes 1 to 4.
    static QStringList comparisonEntries();
    // The selected entry when the window closed with "&Ok", -1 otherwise or with none selected.
    int chosen() const { return chosen_; }

    QLabel* FieldNameLabel = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void SetColors(const rv::app::Settings& settings);

private:
    void OkButtonClick();
    int chosen_ = -1;
};

}  // namespace rv::gui
