#pragma once
// "Viewer Configuration": the six pages that set what the viewer grid shows and how it
// looks.  Colour, font, alignment and check-box choices change the settings at once; names,
// widths, shown fields and order are stored when the window closes, whichever way it is
// closed, after the display names were checked for duplicates.

#include <QDialog>

#include <functional>

#include "core/browse/ViewerLayout.h"

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace rv::gui {

class TViewConfig : public QDialog {
    Q_OBJECT
public:
    // `factor` is the screen scale factor the grids' column widths are multiplied by.
    TViewConfig(rv::app::Settings& settings, double factor, QWidget* parent = nullptr);

    // Opens the help at a keyword; without one the Help button is disabled.
    void setHelpHandler(std::function<void(const QString&)> help);

    // The pages' controls, named as the window names them.
    QTabWidget* Pages = nullptr;
    QCheckBox* ShowGridTitle = nullptr;
    QFrame* TitleShape = nullptr;
    QPushButton* Button1 = nullptr;
    QLineEdit* TitleFont = nullptr;
    QPushButton* TitleFontButton = nullptr;
    QRadioButton* TitleLeft = nullptr;
    QRadioButton* TitleCenter = nullptr;
    QRadioButton* TitleRight = nullptr;
    QCheckBox* ColumnLines = nullptr;
    QCheckBox* RowLines = nullptr;
    QCheckBox* RowIndicator = nullptr;
    QCheckBox* FieldEditing = nullptr;
    QFrame* CellColorShape = nullptr;
    QPushButton* NewColorBUtton = nullptr;
    QLineEdit* GridFont = nullptr;
    QPushButton* NewFontButton = nullptr;
    QTableWidget* FieldsToDisplay = nullptr;
    QTableWidget* FieldWidthGrid = nullptr;
    QTableWidget* FieldOrderGrid = nullptr;
    QPushButton* OrderUp = nullptr;
    QPushButton* OrderDown = nullptr;
    QPushButton* OrderDefaults = nullptr;
    QTableWidget* FieldNameGrid = nullptr;
    QPushButton* ExitButton = nullptr;
    QPushButton* HelpButton = nullptr;

    // The help keyword of each page, in page order.
    static QString helpKeyword(int page);

    void SetColors();

public slots:
    void done(int result) override;  // validation and saving on close

private:
    QWidget* buildTitlePage();
    QWidget* buildLookPage();
    QWidget* buildShowPage();
    QWidget* buildWidthsPage();
    QWidget* buildOrderPage();
    QWidget* buildNamesPage();
    void fillGrids();
    rv::browse::ViewConfigPages readPages() const;
    void writeWidths(const rv::browse::ViewConfigPages& pages);
    void chooseColor(std::int32_t& target, QFrame* swatch);
    void chooseFont(rv::app::FontSpec& target, QLineEdit* box);
    void moveOrderRow(int step);

    rv::app::Settings& settings_;
    double factor_;
    std::function<void(const QString&)> help_;
};

}  // namespace rv::gui
