#include "gui/browse/TViewConfig.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/common/Colors.h"
#include "gui/common/Placement.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

using rv::app::Settings;
using rv::db::kFieldCount;

namespace {

constexpr int kNamesPage = 5;

QString fontText(const rv::app::FontSpec& f) {
    return QString::number(f.size > 0 ? f.size : QFont().pointSize()) + QStringLiteral("pt ") + toQ(f.name);
}

void paintSwatch(QFrame* swatch, std::int32_t color) {
    swatch->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;").arg(toQColor(color).name()));
}

QFrame* swatch() {
    auto* f = new QFrame;
    f->setFixedSize(40, 28);
    return f;
}

QTableWidget* fieldGrid(const QStringList& headings, const QList<int>& widths, double factor) {
    auto* grid = new QTableWidget(kFieldCount, int(headings.size()));
    grid->setHorizontalHeaderLabels(headings);
    grid->horizontalHeader()->setVisible(!headings.isEmpty() && !headings.first().isEmpty());
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(int(20 * factor));
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    int total = 0;
    for (int c = 0; c < widths.size(); ++c) {
        grid->setColumnWidth(c, int(widths[c] * factor));
        total += int(widths[c] * factor);
    }
    grid->setMinimumWidth(total + 24);
    grid->setMinimumHeight(int(220 * factor));
    return grid;
}

QTableWidgetItem* readOnlyItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QString cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace

TViewConfig::TViewConfig(Settings& settings, double factor, QWidget* parent)
    : QDialog(parent), settings_(settings), factor_(factor) {
    setObjectName(QStringLiteral("TViewConfig"));
    setWindowTitle(QStringLiteral("Viewer Configuration"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Pages = new QTabWidget;
    Pages->setUsesScrollButtons(false);  // every page's tab in sight, the window as wide as they need
    Pages->addTab(buildTitlePage(), QStringLiteral("&Title"));
    Pages->addTab(buildLookPage(), QStringLiteral("&Look and Feel"));
    Pages->addTab(buildShowPage(), QStringLiteral("Fields to &Show"));
    Pages->addTab(buildWidthsPage(), QStringLiteral("Field &Widths"));
    Pages->addTab(buildOrderPage(), QStringLiteral("Field &Order"));
    Pages->addTab(buildNamesPage(), QStringLiteral("Field &Names"));

    ExitButton = new QPushButton(QStringLiteral("E&xit"));
    HelpButton = new QPushButton(QStringLiteral("&Help"));
    HelpButton->setEnabled(false);
    connect(ExitButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(HelpButton, &QPushButton::clicked, this, [this] {
        if (help_) help_(helpKeyword(Pages->currentIndex()));
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ExitButton);
    buttons->addWidget(HelpButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages);
    layout->addLayout(buttons);

    fillGrids();
    Pages->setCurrentIndex(kNamesPage);
    SetColors();

    QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize(1024, 768);
    ApplyFonts(this, settings_);
    adjustSize();
    setFixedSize(sizeHint());
    centreOnScreen(this, screen);
    if (y() > 10) move(x(), y() - 10);
}

void TViewConfig::setHelpHandler(std::function<void(const QString&)> help) {
    help_ = std::move(help);
    HelpButton->setEnabled(bool(help_));
}

QString TViewConfig::helpKeyword(int page) {
    static const char* const kKeywords[] = {"Viewer Configuration Title",  "Viewer Configuration Look",
                                            "Viewer Configuration Show",   "Viewer Configuration Widths",
                                            "Viewer Configuration Order",  "Viewer Configuration Names"};
    return page >= 0 && page < 6 ? QString::fromLatin1(kKeywords[page]) : QString();
}

QWidget* TViewConfig::buildTitlePage() {
    auto* page = new QWidget;
    ShowGridTitle = new QCheckBox(QStringLiteral("Show Column Titles"));
    ShowGridTitle->setChecked(settings_.gridShowTitles);
    connect(ShowGridTitle, &QCheckBox::toggled, this, [this](bool on) { settings_.gridShowTitles = on; });

    auto* background = new QGroupBox(QStringLiteral("Background"));
    TitleShape = swatch();
    paintSwatch(TitleShape, settings_.gridTitleColor);
    Button1 = new QPushButton(QStringLiteral("New &Color"));
    connect(Button1, &QPushButton::clicked, this, [this] { chooseColor(settings_.gridTitleColor, TitleShape); });
    auto* bl = new QHBoxLayout(background);
    bl->addWidget(TitleShape);
    bl->addWidget(Button1);

    auto* font = new QGroupBox(QStringLiteral("Title Font"));
    TitleFont = new QLineEdit(fontText(settings_.gridTitleFont));
    TitleFont->setReadOnly(true);
    TitleFontButton = new QPushButton(QStringLiteral("New &Font"));
    connect(TitleFontButton, &QPushButton::clicked, this, [this] { chooseFont(settings_.gridTitleFont, TitleFont); });
    auto* fl = new QHBoxLayout(font);
    fl->addWidget(TitleFont);
    fl->addWidget(TitleFontButton);

    auto* alignment = new QGroupBox(QStringLiteral("Alignment"));
    TitleLeft = new QRadioButton(QStringLiteral("Left Justify"));
    TitleCenter = new QRadioButton(QStringLiteral("Center"));
    TitleRight = new QRadioButton(QStringLiteral("Right Justify"));
    TitleLeft->setChecked(settings_.gridTitleAlignment == 1);
    TitleCenter->setChecked(settings_.gridTitleAlignment == 2);
    TitleRight->setChecked(settings_.gridTitleAlignment == 3);
    auto* al = new QVBoxLayout(alignment);
    int value = 1;
    for (QRadioButton* b : {TitleLeft, TitleCenter, TitleRight}) {
        al->addWidget(b);
        connect(b, &QRadioButton::toggled, this, [this, value](bool on) {
            if (on) settings_.gridTitleAlignment = value;
        });
        ++value;
    }

    auto* grid = new QGridLayout(page);
    grid->addWidget(ShowGridTitle, 0, 0, 1, 2);
    grid->addWidget(background, 1, 0);
    grid->addWidget(alignment, 1, 1, 2, 1);
    grid->addWidget(font, 2, 0);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* TViewConfig::buildLookPage() {
    auto* page = new QWidget;
    auto* options = new QGroupBox(QStringLiteral("Grid Options"));
    auto* ol = new QVBoxLayout(options);
    auto addOption = [&](QCheckBox*& box, const char* caption, bool& target) {
        box = new QCheckBox(QString::fromLatin1(caption));
        box->setChecked(target);
        connect(box, &QCheckBox::toggled, this, [&target](bool on) { target = on; });
        ol->addWidget(box);
    };
    addOption(ColumnLines, "Show lines between columns", settings_.columnLines);
    addOption(RowLines, "Show lines between rows", settings_.rowLines);
    addOption(RowIndicator, "Show current row indicator", settings_.rowIndicator);
    addOption(FieldEditing, "Allow field editing", settings_.fieldEditing);

    auto* color = new QGroupBox(QStringLiteral("Cell Color"));
    CellColorShape = swatch();
    paintSwatch(CellColorShape, settings_.gridCellColor);
    NewColorBUtton = new QPushButton(QStringLiteral("New &Color"));
    connect(NewColorBUtton, &QPushButton::clicked, this, [this] { chooseColor(settings_.gridCellColor, CellColorShape); });
    auto* cl = new QHBoxLayout(color);
    cl->addWidget(CellColorShape);
    cl->addWidget(NewColorBUtton);

    auto* font = new QGroupBox(QStringLiteral("Cell Font"));
    GridFont = new QLineEdit(fontText(settings_.gridFont));
    GridFont->setReadOnly(true);
    NewFontButton = new QPushButton(QStringLiteral("New &Font"));
    connect(NewFontButton, &QPushButton::clicked, this, [this] { chooseFont(settings_.gridFont, GridFont); });
    auto* fl = new QHBoxLayout(font);
    fl->addWidget(GridFont);
    fl->addWidget(NewFontButton);

    auto* grid = new QGridLayout(page);
    grid->addWidget(options, 0, 0, 2, 1);
    grid->addWidget(color, 0, 1);
    grid->addWidget(font, 1, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* TViewConfig::buildShowPage() {
    auto* page = new QWidget;
    FieldsToDisplay = fieldGrid({QStringLiteral("FIELD"), QStringLiteral("DISPLAY IT")}, {200, 100}, factor_);
    FieldsToDisplay->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(FieldsToDisplay, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column != 1 || row < 0 || row >= kFieldCount) return;
        QTableWidgetItem* item = FieldsToDisplay->item(row, 1);
        item->setText(item->text() == QStringLiteral("Yes") ? QStringLiteral("No") : QStringLiteral("Yes"));
    });
    auto* text = new QLabel(QStringLiteral(
        "For each field that you would like displayed in the Viewer, select 'Yes'.  If you do not wish a field to "
        "appear in the Viewer, then select 'No' for that field.  Double Click on the field to change between 'Yes' "
        "and 'No'."));
    text->setWordWrap(true);
    text->setMinimumWidth(int(160 * factor_));
    auto* l = new QHBoxLayout(page);
    l->addWidget(FieldsToDisplay);
    l->addWidget(text, 0, Qt::AlignTop);
    return page;
}

QWidget* TViewConfig::buildWidthsPage() {
    auto* page = new QWidget;
    FieldWidthGrid = fieldGrid({QStringLiteral("FIELD"), QStringLiteral("WIDTH")}, {200, 100}, factor_);
    auto* l = new QHBoxLayout(page);
    l->addWidget(FieldWidthGrid);
    l->addStretch();
    return page;
}

QWidget* TViewConfig::buildOrderPage() {
    auto* page = new QWidget;
    FieldOrderGrid = fieldGrid({QString()}, {200}, factor_);
    FieldOrderGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* caption = new QLabel(QStringLiteral("Field\nOrdering"));
    caption->setAlignment(Qt::AlignCenter);
    OrderUp = new QPushButton(QStringLiteral("&Up"));
    OrderDown = new QPushButton(QStringLiteral("&Down"));
    OrderDefaults = new QPushButton(QStringLiteral("D&efaults"));
    connect(OrderUp, &QPushButton::clicked, this, [this] { moveOrderRow(-1); });
    connect(OrderDown, &QPushButton::clicked, this, [this] { moveOrderRow(+1); });
    connect(OrderDefaults, &QPushButton::clicked, this, [this] {
        if (!prompt().yes(this, QString::fromLatin1(rv::browse::kReorderTitle),
                          QString::fromLatin1(rv::browse::kReorderQuestion)))
            return;
        rv::browse::ViewConfigPages pages = readPages();
        rv::browse::defaultOrderRows(pages, settings_);
        for (int row = 0; row < kFieldCount; ++row)
            FieldOrderGrid->item(row, 0)->setText(toQ(pages.orderRows[size_t(row)]));
    });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(caption);
    buttons->addWidget(OrderUp);
    buttons->addWidget(OrderDown);
    buttons->addWidget(OrderDefaults);
    buttons->addStretch();
    auto* l = new QHBoxLayout(page);
    l->addWidget(FieldOrderGrid);
    l->addLayout(buttons);
    l->addStretch();
    return page;
}

QWidget* TViewConfig::buildNamesPage() {
    auto* page = new QWidget;
    FieldNameGrid = fieldGrid({QStringLiteral("FIELD"), QStringLiteral("NAME TO USE")}, {200, 200}, factor_);
    auto* l = new QHBoxLayout(page);
    l->addWidget(FieldNameGrid);
    return page;
}

void TViewConfig::fillGrids() {
    const rv::browse::ViewConfigPages pages = rv::browse::viewConfigPages(settings_);
    for (int f = 1; f <= kFieldCount; ++f) {
        const int row = f - 1;
        const QString name = toQ(settings_.displayNames[f]);
        FieldsToDisplay->setItem(row, 0, readOnlyItem(name));
        FieldsToDisplay->setItem(row, 1, readOnlyItem(toQ(pages.displayCells[f])));
        FieldWidthGrid->setItem(row, 0, readOnlyItem(name));
        FieldWidthGrid->setItem(row, 1, new QTableWidgetItem(toQ(pages.widthCells[f])));
        FieldOrderGrid->setItem(row, 0, readOnlyItem(toQ(pages.orderRows[size_t(row)])));
        FieldNameGrid->setItem(row, 0, readOnlyItem(toQ(rv::db::field(f).name)));
        auto* nameItem = new QTableWidgetItem(name);
        FieldNameGrid->setItem(row, 1, nameItem);
    }
    FieldOrderGrid->setCurrentCell(0, 0);
}

rv::browse::ViewConfigPages TViewConfig::readPages() const {
    rv::browse::ViewConfigPages pages;
    for (int f = 1; f <= kFieldCount; ++f) {
        const int row = f - 1;
        pages.widthCells[f] = fromQ(cell(FieldWidthGrid, row, 1));
        pages.displayCells[f] = fromQ(cell(FieldsToDisplay, row, 1));
        pages.orderRows[size_t(row)] = fromQ(cell(FieldOrderGrid, row, 0));
        pages.nameCells[f] = fromQ(cell(FieldNameGrid, row, 1));
    }
    return pages;
}

void TViewConfig::writeWidths(const rv::browse::ViewConfigPages& pages) {
    for (int f = 1; f <= kFieldCount; ++f) FieldWidthGrid->item(f - 1, 1)->setText(toQ(pages.widthCells[f]));
}

void TViewConfig::moveOrderRow(int step) {
    const int row = FieldOrderGrid->currentRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= kFieldCount) return;
    QTableWidgetItem* a = FieldOrderGrid->item(row, 0);
    QTableWidgetItem* b = FieldOrderGrid->item(other, 0);
    const QString text = a->text();
    a->setText(b->text());
    b->setText(text);
    FieldOrderGrid->setCurrentCell(other, 0);
}

void TViewConfig::chooseColor(std::int32_t& target, QFrame* shape) {
    if (auto color = prompt().chooseColor(this, toQColor(target))) {
        target = toWinColor(*color);
        paintSwatch(shape, target);
    }
}

void TViewConfig::chooseFont(rv::app::FontSpec& target, QLineEdit* box) {
    if (auto font = prompt().chooseFont(this, toQFont(target))) {
        target = toFontSpec(*font, target.color);
        box->setText(fontText(target));
    }
}

void TViewConfig::SetColors() {
    const rv::app::ColorSet& c = settings_.colors[rv::app::ConfigureWindowColors];
    paintBackground(this, c[rv::app::MainBackground]);
    for (QCheckBox* box : findChildren<QCheckBox*>())
        paintTextAndBackground(box, c[rv::app::CheckText], c[rv::app::CheckBackground]);
    for (QRadioButton* radio : findChildren<QRadioButton*>())
        paintTextAndBackground(radio, c[rv::app::RadioText], c[rv::app::RadioBackground]);
    for (QLabel* label : findChildren<QLabel*>()) paintText(label, c[rv::app::MinorTitle]);
    for (QGroupBox* group : findChildren<QGroupBox*>()) paintText(group, c[rv::app::MinorTitle]);
    for (QLineEdit* edit : {TitleFont, GridFont}) paintBox(edit, c[rv::app::EditText], c[rv::app::EditBackground]);
    for (QTableWidget* grid : {FieldsToDisplay, FieldWidthGrid, FieldOrderGrid, FieldNameGrid})
        paintBox(grid, c[rv::app::ListBoxText], c[rv::app::ListBoxBackground]);
}

void TViewConfig::done(int result) {
    // Whichever way the window closes (Exit, Escape, the close box), the names are checked
    // and the pages stored.
    for (int row = 0; row < kFieldCount; ++row) {
        if (!storable(this, cell(FieldNameGrid, row, 1))) {
            Pages->setCurrentIndex(kNamesPage);
            FieldNameGrid->setCurrentCell(row, 1);
            FieldNameGrid->setFocus();
            return;
        }
    }
    rv::browse::ViewConfigPages pages = readPages();
    if (auto message = rv::browse::duplicateNameMessage(pages.nameCells)) {
        prompt().error(this, toQ(*message));
        Pages->setCurrentIndex(kNamesPage);
        FieldNameGrid->setFocus();
        return;
    }
    rv::browse::storeViewConfigPages(settings_, pages);
    writeWidths(pages);
    QDialog::done(result);
}

}  // namespace rv::gui
