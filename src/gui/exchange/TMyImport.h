#pragma once
// "Import Format" (TImportFormat) and the import window (TMyImport).
//
// TImportFormat picks the file type and the file and checks it (the first line of a text
// file, the ".DBF" ending and field names of a dBase file); TMyImport pairs the import fields
// with the catalogue fields in its grid and runs the import, showing the running count.  Both
// work on the settings record and the open video table; the rules are in core/exchange.

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/db/Table.h"
#include "core/exchange/Import.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace rv::gui {

// What the import windows work on.
struct ImportContext {
    rv::app::Settings& settings;
    rv::db::Table& table;
    const rv::app::ShortDateFormat& dates;
    double factor = 1.0;                          // the screen scale factor
    std::function<void(const QString&)> help;     // opens the help at a keyword; none: Help disabled
};

class TMyImport : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Ascii, DBase };
    TMyImport(ImportContext context, Kind kind, std::filesystem::path file, std::vector<std::string> importNames,
              QWidget* parent = nullptr);
    ~TMyImport() override;

    QTableWidget* ImportGrid = nullptr;
    QPushButton* UpButton = nullptr;
    QPushButton* DownButton = nullptr;
    QCheckBox* SkipFirst = nullptr;
    QLabel* CountLabel = nullptr;  // the running count of imported records
    QPushButton* StartButton = nullptr;
    QPushButton* ExitButton = nullptr;
    QPushButton* HelpButton = nullptr;

    const rv::exchange::ImportPairing& pairing() const { return *pairing_; }
    void SetColors();

private:
    void fillRow(int row);
    void moveRow(bool up);
    void StartButtonClick();

    ImportContext context_;
    Kind kind_;
    std::filesystem::path file_;
    std::unique_ptr<rv::exchange::ImportPairing> pairing_;
};

class TImportFormat : public QDialog {
    Q_OBJECT
public:
    explicit TImportFormat(ImportContext context, QWidget* parent = nullptr);

    QRadioButton* AsciiDelimited = nullptr;
    QRadioButton* DBFFormat = nullptr;
    QPushButton* FileButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void SetColors();

public slots:
    void done(int result) override;  // stores the file type

private:
    void DoAscii();
    void DoDBF();
    void openImport(TMyImport::Kind kind, const std::filesystem::path& file, std::vector<std::string> names);

    ImportContext context_;
};

}  // namespace rv::gui
