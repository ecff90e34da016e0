#pragma once
// The Export window (TMyExport): which fields go out and in what order, the whole database or
// the search result, a text file or a dBase table; the progress gauge while it writes.  The
// grid is a core ExportChoice; CalcIndexOrder, the line format and the files are core rules.

#include <QDialog>

#include <functional>

#include "core/app/Settings.h"
#include "core/db/Table.h"
#include "core/exchange/Export.h"

class QCheckBox;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace rv::gui {

// The search in force, as export needs it.  Without a search module all three are empty and
// no search is in force.
struct SearchHooks {
    std::function<bool()> inForce;
    std::function<void()> suspend;  // the table shows every record until resume
    std::function<void()> resume;
    bool active() const { return inForce && inForce(); }
};

struct ExportContext {
    rv::app::Settings& settings;
    rv::db::Table& table;
    SearchHooks search;
    double factor = 1.0;
    std::function<void(const QString&)> help;
};

class TMyExport : public QDialog {
    Q_OBJECT
public:
    explicit TMyExport(ExportContext context, QWidget* parent = nullptr);

    QTableWidget* ExportGrid = nullptr;
    QPushButton* UpButton = nullptr;
    QPushButton* DownButton = nullptr;
    QPushButton* DefaultsButton = nullptr;
    QRadioButton* ExportEntire = nullptr;
    QRadioButton* ExportSearch = nullptr;
    QRadioButton* AsciiFile = nullptr;
    QRadioButton* DBaseFile = nullptr;
    QCheckBox* FirstRow = nullptr;
    QProgressBar* Gauge = nullptr;
    QPushButton* StartExportButton = nullptr;
    QPushButton* ExitButton = nullptr;
    QPushButton* HelpButton = nullptr;

    // The grid into the settings: field order and flags.
    void UpdateConfigs();
    void SetColors();

public slots:
    void done(int result) override;  // UpdateConfigs and the file type

private:
    void fillGrid();
    void moveRow(bool up);
    void fileTypeChanged();
    void StartExportButtonClick();
    void DoAscii(const std::vector<int>& fields, bool searchOnly);
    void DoDBase(const std::vector<int>& fields, bool searchOnly);
    // Walks the records with the gauge running; suspends the search for a whole export.
    template <class Work>
    bool runExport(bool searchOnly, Work work);

    ExportContext context_;
    rv::exchange::ExportChoice choice_;
};

}  // namespace rv::gui
