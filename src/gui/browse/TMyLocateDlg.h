#pragma once
// Locate: the main window's locate component (TMyLocateDialog), which remembers the field,
// value and options for the whole run, and its dialog window (TMyLocateDlg), created for each
// Execute.  The matching and the walk through the table are rv::browse::locate.

#include <QDialog>
#include <QObject>

#include <functional>
#include <vector>

#include "core/browse/Locate.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rv::gui {

class TMyLocateDlg;

class TMyLocateDialog : public QObject {
    Q_OBJECT
public:
    explicit TMyLocateDialog(QObject* parent = nullptr);

    // The component's properties and the remembered value.
    rv::browse::LocateSettings& properties() { return props_; }
    const rv::browse::LocateSettings& properties() const { return props_; }

    // The data source: the video table (null or closed: no active table) and the settings
    // that name its fields in the viewer.
    void setDataSource(rv::db::Table* table, const rv::app::Settings* settings);
    // Dialog placement, applied when the dialog is shown.
    void setPlacement(std::function<void(QWidget*)> place) { place_ = std::move(place); }

    // Shows the dialog; true when it closed because a record was found.
    bool Execute(QWidget* parent);
    // Locate Next: from the record after the current one with the remembered field and value
    // (the dialog when no value is remembered yet); true when a record was found.
    bool FindNext(QWidget* parent);

    // The dialog while Execute shows it (tests reach its controls through it).
    TMyLocateDlg* dialog() const { return dialog_; }

private:
    friend class TMyLocateDlg;
    // The routine behind both buttons and find next.
    bool locate(QWidget* parent, const std::string& field, const std::string& value, rv::browse::LocateMatch match,
                bool caseSensitive, bool fromFirst, bool showNotFound);
    bool tableActive() const;

    rv::browse::LocateSettings props_;
    rv::db::Table* table_ = nullptr;
    const rv::app::Settings* settings_ = nullptr;
    std::function<void(QWidget*)> place_;
    TMyLocateDlg* dialog_ = nullptr;
};

class TMyLocateDlg : public QDialog {
    Q_OBJECT
public:
    TMyLocateDlg(TMyLocateDialog& owner, std::vector<rv::browse::LocateField> fields, QWidget* parent = nullptr);

    QGroupBox* FieldGroup = nullptr;
    QComboBox* FieldNameComboBox = nullptr;
    QGroupBox* TypeGroup = nullptr;
    QCheckBox* CaseSensitiveCheckBox = nullptr;
    QRadioButton* ExactMatchBtn = nullptr;
    QRadioButton* PartialMatchStartBtn = nullptr;
    QRadioButton* PartialMatchAnyBtn = nullptr;
    QGroupBox* ValueGroup = nullptr;
    QLineEdit* SearchValue = nullptr;
    QPushButton* FirstButton = nullptr;
    QPushButton* NextButton = nullptr;
    QPushButton* BitBtn1 = nullptr;  // Cancel

    rv::browse::LocateMatch matchType() const;
    // The field whose label the list shows; "" when the text is no field's label.
    std::string chosenField() const;
    void SetColors();

public slots:
    void done(int result) override;  // the component keeps the field, value and options

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FindFirst();
    void FindNextBtnClick();
    void find(bool fromFirst);
    void setDefaultButton(QPushButton* button);

    TMyLocateDialog& owner_;
    std::vector<rv::browse::LocateField> fields_;
    QPushButton* defaultButton_ = nullptr;
    bool placed_ = false;
};

}  // namespace rv::gui
