#pragma once
// The Color Configuration window: edits a working copy of one colour set (or of the main set
// for "all windows") through six framed samples and the twelve predefined schemes.

#include <QDialog>

#include "core/app/ColorSchemes.h"
#include "core/app/Settings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QCheckBox;

namespace rv::gui {

class TMain;

class TColorConfig : public QDialog {
    Q_OBJECT
public:
    TColorConfig(TMain& main, rv::app::ColorWindow code, QWidget* parent = nullptr);

    rv::app::ColorWindow code() const { return code_; }
    const rv::app::ColorSet& workingSet() const { return working_; }
    // Chooses entry `index` of ColorSets (0 the empty entry, 1..12 the schemes).
    void ColorSetsChange(int index);
    void OkClick();
    // Repaints every sample from the working set.
    void paintSamples();

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    QPushButton *MainBack, *MajorTitles, *MinorTitles;
    QPushButton *EditBoxText, *EditBoxBack, *ComboText, *ComboBack, *RadioText, *RadioBack;
    QPushButton *CheckText, *CheckBack, *ListText, *ListBack;
    QLineEdit* EditBox;
    QComboBox* ComboBox;
    QRadioButton* RadioButton;
    QCheckBox* CheckBox;
    QListWidget* ListBox;
    QComboBox* ColorSets;
    QPushButton *Ok, *Cancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void pickColor(rv::app::ColorKey key);

    TMain& main_;
    rv::app::ColorWindow code_;
    rv::app::ColorSet working_;
    bool placed_ = false;
};

}  // namespace rv::gui
