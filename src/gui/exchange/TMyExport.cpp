#include "gui/exchange/TMyExport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/browse/ViewerLayout.h"
#include "core/db/DatabaseError.h"
#include "core/exchange/ExchangeMessages.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/exchange/ExchangeSupport.h"

namespace rv::gui {

namespace fs = std::filesystem;
namespace ex = rv::exchange;
using exchange::setCell;

namespace {

QString qs(const char* text) { return toQ(text); }

}  // namespace

TMyExport::TMyExport(ExportContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), choice_(context_.settings) {
    setObjectName(QStringLiteral("TMyExport"));
    setWindowTitle(qs(ex::kExportCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const double f = context_.factor;

    ExportGrid = exchange::fieldGrid(ex::ExportChoice::rowCount(), {QStringLiteral("FIELD"), QStringLiteral("EXPORT IT")},
                                     {200, 100}, f);
    ExportGrid->setObjectName(QStringLiteral("ExportGrid"));
    fillGrid();
    ExportGrid->setCurrentCell(0, 0);
    connect(ExportGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column != 1) return;
        choice_.toggle(row + 1);
        setCell(ExportGrid, row, 1, toQ(choice_.row(row + 1).exportIt));
    });

    UpButton = new QPushButton(QStringLiteral("&Up"));
    DownButton = new QPushButton(QStringLiteral("&Down"));
    DefaultsButton = new QPushButton(QStringLiteral("D&efaults"));
    connect(UpButton, &QPushButton::clicked, this, [this] { moveRow(true); });
    connect(DownButton, &QPushButton::clicked, this, [this] { moveRow(false); });
    connect(DefaultsButton, &QPushButton::clicked, this, [this] {
        if (!prompt().yes(this, qs(rv::browse::kReorderTitle), qs(rv::browse::kReorderQuestion))) return;
        choice_.defaults(context_.settings);
        fillGrid();
    });

    auto* what = new QGroupBox(QStringLiteral("What to Export"));
    ExportEntire = new QRadioButton(QStringLiteral("Export Entire Database"));
    ExportSearch = new QRadioButton(QStringLiteral("Export Search Criteria"));
    {
        auto* l = new QVBoxLayout(what);
        l->addWidget(ExportEntire);
        l->addWidget(ExportSearch);
    }
    const bool search = context_.search.active();
    ExportSearch->setEnabled(search);
    (search ? ExportSearch : ExportEntire)->setChecked(true);

    auto* how = new QGroupBox(QStringLiteral("How To Export"));
    AsciiFile = new QRadioButton(QStringLiteral("Ascii Delimited Text File"));
    DBaseFile = new QRadioButton(QStringLiteral("DBase File (DBF)"));
    {
        auto* l = new QVBoxLayout(how);
        l->addWidget(AsciiFile);
        l->addWidget(DBaseFile);
    }
    (context_.settings.exportFileType == 2 ? DBaseFile : AsciiFile)->setChecked(true);
    connect(AsciiFile, &QRadioButton::toggled, this, [this] { fileTypeChanged(); });

    FirstRow = new QCheckBox(QStringLiteral("&First Record Contains Field Names"));
    FirstRow->setChecked(context_.settings.exportFirstRow);
    connect(FirstRow, &QCheckBox::clicked, this, [this](bool on) { context_.settings.exportFirstRow = on; });

    Gauge = new QProgressBar;
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setRange(0, 1);
    Gauge->setValue(0);
    Gauge->setTextVisible(true);

    StartExportButton = new QPushButton(QStringLiteral("&Start Export"));
    ExitButton = new QPushButton(QStringLiteral("E&xit"));
    HelpButton = new QPushButton(QStringLiteral("&Help"));
    HelpButton->setEnabled(bool(context_.help));
    connect(StartExportButton, &QPushButton::clicked, this, &TMyExport::StartExportButtonClick);
    connect(ExitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [this] { context_.help(QStringLiteral("Export Window")); });

    auto* notes = new QGroupBox(QStringLiteral("NOTES"));
    {
        auto* l = new QVBoxLayout(notes);
        auto* text = new QLabel(QStringLiteral(
            "\"Yes\" includes a field in the export, \"No\" leaves it out.  Double-click the EXPORT IT cell to "
            "change it."));
        text->setWordWrap(true);
        l->addWidget(text);
    }

    auto* ordering = new QVBoxLayout;
    auto* fieldCaption = new QLabel(QStringLiteral("Field"));
    auto* orderCaption = new QLabel(QStringLiteral("Ordering"));
    for (QLabel* l : {fieldCaption, orderCaption}) l->setAlignment(Qt::AlignCenter);
    ordering->addWidget(fieldCaption);
    ordering->addWidget(orderCaption);
    ordering->addWidget(UpButton);
    ordering->addWidget(DownButton);
    ordering->addWidget(DefaultsButton);
    ordering->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(what);
    right->addWidget(how);
    right->addWidget(FirstRow);
    right->addStretch();
    auto* progressCaption = new QLabel(QStringLiteral("Export Progress"));
    right->addWidget(progressCaption);
    right->addWidget(Gauge);

    auto* top = new QHBoxLayout;
    top->setSpacing(int(6 * f));
    top->addWidget(ExportGrid, 1);
    top->addLayout(ordering);
    top->addLayout(right);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(notes, 1);
    buttons->addWidget(StartExportButton);
    buttons->addWidget(ExitButton);
    buttons->addWidget(HelpButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(int(6 * f), int(6 * f), int(6 * f), int(6 * f));
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    fileTypeChanged();
    SetColors();
    exchange::place(this, context_.settings);
}

void TMyExport::SetColors() { exchange::paintConfigureColors(this, context_.settings); }

void TMyExport::fillGrid() {
    for (int r = 1; r <= ex::ExportChoice::rowCount(); ++r) {
        setCell(ExportGrid, r - 1, 0, toQ(choice_.row(r).field));
        setCell(ExportGrid, r - 1, 1, toQ(choice_.row(r).exportIt));
    }
}

void TMyExport::moveRow(bool up) {
    const int r = ExportGrid->currentRow() + 1;
    if (r < 1) return;
    const int to = up ? choice_.moveUp(r) : choice_.moveDown(r);
    for (int row : {r, to}) {
        setCell(ExportGrid, row - 1, 0, toQ(choice_.row(row).field));
        setCell(ExportGrid, row - 1, 1, toQ(choice_.row(row).exportIt));
    }
    ExportGrid->setCurrentCell(to - 1, std::max(ExportGrid->currentColumn(), 0));
}

void TMyExport::fileTypeChanged() {
    const bool text = AsciiFile->isChecked();
    FirstRow->setVisible(text);
    FirstRow->setEnabled(text);
}

void TMyExport::UpdateConfigs() { choice_.store(context_.settings); }

void TMyExport::done(int result) {
    UpdateConfigs();
    context_.settings.exportFileType = AsciiFile->isChecked() ? 1 : 2;
    QDialog::done(result);
}

void TMyExport::StartExportButtonClick() {
    UpdateConfigs();
    const std::vector<int> fields = ex::CalcIndexOrder(context_.settings);
    const bool searchOnly = !ExportEntire->isChecked();
    if (fields.empty()) {
        prompt().error(this, qs(ex::kNoFieldsSelected));
        return;
    }
    if (AsciiFile->isChecked())
        DoAscii(fields, searchOnly);
    else
        DoDBase(fields, searchOnly);
}

template <class Work>
bool TMyExport::runExport(bool searchOnly, Work work) {
    const bool suspended = !searchOnly && context_.search.active() && context_.search.suspend;
    if (suspended) context_.search.suspend();
    exchange::Pump pump;
    bool ok = true;
    {
        exchange::WaitCursor wait;
        const int total = context_.table.recordCount();
        Gauge->setRange(0, std::max(total, 1));
        Gauge->setValue(0);
        auto progress = [&](int done) {
            pump.tick([&] { Gauge->setValue(done); });
            return true;
        };
        try {
            work(progress);
            Gauge->setValue(std::max(total, 1));
        } catch (const std::exception& e) {
            ok = false;
            if (suspended) context_.search.resume();
            Gauge->setValue(0);
            prompt().error(this, toQ(e.what()));
            return false;
        }
    }
    if (suspended) context_.search.resume();
    return ok;
}

namespace {

FileRequest saveRequest(const QString& filter, const QString& suffix, const std::string& start) {
    FileRequest request;
    request.mode = FileRequest::Mode::Save;
    request.title = toQ(ex::kExportDialogTitle);
    request.filter = vclFilter(filter);
    request.defaultSuffix = suffix;
    request.directory = pathToQ(start);
    request.confirmOverwrite = true;
    return request;
}

}  // namespace

void TMyExport::DoAscii(const std::vector<int>& fields, bool searchOnly) {
    const auto chosen = prompt().chooseFile(
        this, saveRequest(QStringLiteral("Ascii Delimited Text (*.TXT)|*.TXT"), QStringLiteral("TXT"),
                          context_.settings.lastExportFile));
    if (!chosen) return;
    const fs::path file = pathFromQ(*chosen);
    std::vector<std::string> titles;
    for (int n : fields) titles.push_back(ex::exportLabel(context_.settings, context_.table, n));
    const bool withTitles = context_.settings.exportFirstRow;
    if (!runExport(searchOnly, [&](const ex::ExportProgress& progress) {
            ex::exportText(context_.table, file, fields, withTitles ? &titles : nullptr, progress);
        }))
        return;
    context_.settings.lastExportFile = file.string();
    prompt().show(this, qs(ex::kOkTitle), qs(ex::kExportComplete), Icon::Information);
    Gauge->setValue(0);
    accept();
}

void TMyExport::DoDBase(const std::vector<int>& fields, bool searchOnly) {
    const auto chosen = prompt().chooseFile(
        this, saveRequest(QStringLiteral("DBase (*.DBF)|*.DBF"), QStringLiteral("DBF"), context_.settings.lastExportFile));
    if (!chosen) return;
    const std::string file = pathFromQ(*chosen);
    if (!ex::hasDbfEnding(file)) {
        prompt().error(this, qs(ex::kInvalidFileType));
        return;
    }
    if (!runExport(searchOnly, [&](const ex::ExportProgress& progress) {
            ex::exportDbf(context_.table, file, fields, progress);
        }))
        return;
    context_.settings.lastExportFile = file;
    prompt().show(this, qs(ex::kOkTitle), qs(ex::kExportComplete), Icon::Information);
    Gauge->setValue(0);
    accept();
}

}  // namespace rv::gui
