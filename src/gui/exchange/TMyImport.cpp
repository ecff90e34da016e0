#include "gui/exchange/TMyImport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/db/DatabaseError.h"
#include "core/exchange/ExchangeMessages.h"
#include "gui/common/Colors.h"
#include "gui/common/Placement.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/exchange/ExchangeSupport.h"

namespace rv::gui {

namespace fs = std::filesystem;
namespace ex = rv::exchange;
using exchange::setCell;
using exchange::paintConfigureColors;
using exchange::place;
using exchange::screenSize;

namespace {

QString qs(const char* text) { return toQ(text); }

}  // namespace

// ---- TMyImport ---------------------------------------------------------------------------------

TMyImport::TMyImport(ImportContext context, Kind kind, fs::path file, std::vector<std::string> importNames,
                     QWidget* parent)
    : QDialog(parent), context_(std::move(context)), kind_(kind), file_(std::move(file)) {
    setObjectName(QStringLiteral("TMyImport"));
    setWindowTitle(qs(kind == Kind::Ascii ? ex::kAsciiImportCaption : ex::kDbfImportCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    pairing_ = std::make_unique<ex::ImportPairing>(context_.settings, std::move(importNames));

    const double f = context_.factor;
    ImportGrid = exchange::fieldGrid(pairing_->rowCount(),
                                     {QStringLiteral("VANTELL FIELDS"), QStringLiteral("IMPORT FIELDS"), QStringLiteral("USE")},
                                     {179, 179, 38}, f);
    ImportGrid->setObjectName(QStringLiteral("ImportGrid"));
    for (int r = 1; r <= pairing_->rowCount(); ++r) fillRow(r);
    ImportGrid->setCurrentCell(0, 1);
    connect(ImportGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column != 2) return;
        pairing_->toggleUse(row + 1);
        fillRow(row + 1);
    });

    UpButton = new QPushButton(QStringLiteral("&Up"));
    DownButton = new QPushButton(QStringLiteral("&Down"));
    connect(UpButton, &QPushButton::clicked, this, [this] { moveRow(true); });
    connect(DownButton, &QPushButton::clicked, this, [this] { moveRow(false); });
    SkipFirst = new QCheckBox(QStringLiteral("Skip First Record"));
    SkipFirst->setChecked(context_.settings.importSkipFirst);
    SkipFirst->setVisible(kind == Kind::Ascii);
    SkipFirst->setEnabled(kind == Kind::Ascii);
    connect(SkipFirst, &QCheckBox::clicked, this, [this](bool on) { context_.settings.importSkipFirst = on; });
    CountLabel = new QLabel(QStringLiteral("0"));
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    CountLabel->setAlignment(Qt::AlignCenter);
    CountLabel->setMinimumWidth(int(70 * f));

    StartButton = new QPushButton(QStringLiteral("&Start Import"));
    ExitButton = new QPushButton(QStringLiteral("E&xit"));
    HelpButton = new QPushButton(QStringLiteral("&Help"));
    HelpButton->setEnabled(bool(context_.help));
    connect(StartButton, &QPushButton::clicked, this, &TMyImport::StartButtonClick);
    connect(ExitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [this] { context_.help(QStringLiteral("Import Window")); });

    auto* notes = new QLabel(QStringLiteral(
        "Use the Up and Down buttons to line up each import field beside the program field that is to "
        "receive it.  \"Yes\" in the USE column includes the field; double-click the USE cell to change it."));
    notes->setWordWrap(true);

    auto* side = new QVBoxLayout;
    auto* fieldCaption = new QLabel(QStringLiteral("Field"));
    auto* alignCaption = new QLabel(QStringLiteral("Alignment"));
    for (QLabel* l : {fieldCaption, alignCaption}) l->setAlignment(Qt::AlignCenter);
    side->addWidget(fieldCaption);
    side->addWidget(alignCaption);
    side->addWidget(UpButton);
    side->addWidget(DownButton);
    side->addSpacing(int(10 * f));
    auto* importCaption = new QLabel(QStringLiteral("Import"));
    auto* countCaption = new QLabel(QStringLiteral("Count"));
    for (QLabel* l : {importCaption, countCaption}) l->setAlignment(Qt::AlignCenter);
    side->addWidget(importCaption);
    side->addWidget(countCaption);
    side->addWidget(CountLabel);
    side->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(ImportGrid, 1);
    top->addLayout(side);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SkipFirst);
    buttons->addStretch();
    buttons->addWidget(StartButton);
    buttons->addWidget(ExitButton);
    buttons->addWidget(HelpButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(notes);
    layout->addLayout(buttons);

    SetColors();
    place(this, context_.settings);
}

TMyImport::~TMyImport() = default;

void TMyImport::SetColors() { paintConfigureColors(this, context_.settings); }

void TMyImport::fillRow(int r) {
    const auto& row = pairing_->row(r);
    setCell(ImportGrid, r - 1, 0, toQ(row.programField));
    setCell(ImportGrid, r - 1, 1, toQ(row.importField));
    setCell(ImportGrid, r - 1, 2, toQ(row.use));
}

void TMyImport::moveRow(bool up) {
    const int r = ImportGrid->currentRow() + 1;
    if (r < 1) return;
    const int to = up ? pairing_->moveUp(r) : pairing_->moveDown(r);
    fillRow(r);
    fillRow(to);
    ImportGrid->setCurrentCell(to - 1, std::max(ImportGrid->currentColumn(), 0));
}

void TMyImport::StartButtonClick() {
    const ex::FieldMap map = pairing_->fieldMap();
    exchange::Pump pump;
    int shown = 0;
    auto progress = [&](int count) {
        pump.tick([&] {
            CountLabel->setText(QString::number(count));
            shown = count;
        });
        return true;
    };
    int count = 0;
    bool failed = false;
    {
        exchange::WaitCursor wait;
        context_.table.disableControls();  // one refresh of the viewer at the end, not one per record
        try {
            count = kind_ == Kind::Ascii
                        ? ex::importText(context_.table, file_, map, context_.settings.importSkipFirst, context_.dates, progress)
                        : ex::importDbf(context_.table, file_, map, context_.dates, progress);
        } catch (const std::exception& e) {
            failed = true;
            context_.table.enableControls();
            CountLabel->setText(QString::number(shown));
            prompt().error(this, toQ(e.what()));
        }
        if (!failed) context_.table.enableControls();
    }
    if (failed) return;
    CountLabel->setText(QString::number(count));
    prompt().show(this, qs(ex::kOkTitle), qs(ex::kImportComplete), Icon::Information);
    accept();
}

// ---- TImportFormat -----------------------------------------------------------------------------

TImportFormat::TImportFormat(ImportContext context, QWidget* parent) : QDialog(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("TImportFormat"));
    setWindowTitle(qs(ex::kImportFormatCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    AsciiDelimited = new QRadioButton(QStringLiteral("Ascii Delimited File"));
    DBFFormat = new QRadioButton(QStringLiteral("DBase File (DBF)"));
    (context_.settings.importFileType == 2 ? DBFFormat : AsciiDelimited)->setChecked(true);
    FileButton = new QPushButton(QStringLiteral("Select &File"));
    CancelButton = new QPushButton(QStringLiteral("&Cancel"));
    FileButton->setDefault(true);
    connect(FileButton, &QPushButton::clicked, this, [this] {
        if (AsciiDelimited->isChecked())
            DoAscii();
        else
            DoDBF();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* panel = new QGroupBox;
    auto* radios = new QVBoxLayout(panel);
    radios->addWidget(AsciiDelimited);
    radios->addWidget(DBFFormat);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FileButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    SetColors();
    ApplyFonts(this, context_.settings);
    adjustSize();
    centreOnScreen(this, screenSize());
}

void TImportFormat::SetColors() { paintConfigureColors(this, context_.settings); }

void TImportFormat::done(int result) {
    context_.settings.importFileType = DBFFormat->isChecked() ? 2 : 1;
    QDialog::done(result);
}

namespace {

QString startFolder(const rv::app::Settings& s) { return pathToQ(s.lastImportFile); }

}  // namespace

void TImportFormat::DoAscii() {
    FileRequest request;
    request.mode = FileRequest::Mode::Open;
    request.title = qs(ex::kImportDialogTitle);
    request.filter = vclFilter(QStringLiteral("Ascii Delimited Text (*.TXT)|*.TXT"));
    request.defaultSuffix = QStringLiteral("TXT");
    request.directory = startFolder(context_.settings);
    request.mustExist = true;
    const auto chosen = prompt().chooseFile(this, request);
    if (!chosen) return;
    const fs::path file = pathFromQ(*chosen);
    ex::FirstLine first;
    try {
        first = ex::checkFirstLine(ex::readWholeFile(file));
    } catch (const ex::ExchangeError& e) {
        prompt().error(this, toQ(e.what()));
        return;
    }
    if (!first.ok()) {
        prompt().error(this, toQ(ex::firstLineMessage(*first.fault)));
        return;
    }
    context_.settings.lastImportFile = file.string();
    openImport(TMyImport::Kind::Ascii, file, first.names);
}

void TImportFormat::DoDBF() {
    FileRequest request;
    request.mode = FileRequest::Mode::Open;
    request.title = qs(ex::kImportDialogTitle);
    request.filter = vclFilter(QStringLiteral("DBase  (*.DBF)|*.DBF"));
    request.defaultSuffix = QStringLiteral("DBF");
    request.directory = startFolder(context_.settings);
    request.mustExist = true;
    const auto chosen = prompt().chooseFile(this, request);
    if (!chosen) return;
    const std::string name = pathFromQ(*chosen);
    if (!ex::hasDbfEnding(name)) {
        prompt().error(this, qs(ex::kInvalidFileType));
        return;
    }
    ex::DbfInfo info;
    try {
        info = ex::dbfInfo(name);
    } catch (const rv::db::DatabaseError& e) {
        prompt().error(this, toQ(e.what()));
        return;
    }
    if (info.cut()) prompt().notice(this, qs(ex::kWideSourceNotice));
    context_.settings.lastImportFile = name;
    openImport(TMyImport::Kind::DBase, name, info.names);
}

void TImportFormat::openImport(TMyImport::Kind kind, const fs::path& file, std::vector<std::string> names) {
    {
        TMyImport window(context_, kind, file, std::move(names), this);
        window.exec();
    }
    // Closing the import window closes this one too.
    accept();
}

}  // namespace rv::gui
