#include "gui/browse/TMySearch.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/app/Formats.h"
#include "core/app/Settings.h"
#include "core/browse/SearchPickList.h"
#include "core/db/FieldCatalog.h"
#include "gui/browse/TSearchOptions.h"
#include "gui/common/Colors.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

using rv::browse::RowComparison;
using rv::browse::SearchRowKind;
using rv::db::kFieldCount;

namespace {

constexpr int kFieldColumn = 0, kOptionsColumn = 1, kCriteriaColumn = 2;

bool hasOptions(int field) {
    return rv::browse::searchRowKind(field) != SearchRowKind::Text || rv::db::field(field).pickList;
}

// The criteria cell's editor: a line edit with the row's input template.  What it stores is
// the text as shown, so fixed text and unfilled positions (blanks) reach the cell.
class CriteriaDelegate : public QStyledItemDelegate {
public:
    CriteriaDelegate(const TMySearch& window, QObject* parent) : QStyledItemDelegate(parent), window_(window) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        const int field = index.row() + 1;
        const QString mask = window_.editMask(field);
        if (mask.isEmpty())
            edit->setMaxLength(rv::db::field(field).width);
        else
            edit->setInputMask(mask);
        return edit;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data().toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        model->setData(index, edit->inputMask().isEmpty() ? edit->text() : edit->displayText());
    }

private:
    const TMySearch& window_;
};

// The grid, able to hand an open editor's text to its cell (a button reached by its
// shortcut takes no focus from the editor).
class CriteriaGrid : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    void commitOpenEditor() {
        if (state() != QAbstractItemView::EditingState) return;
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
};

void commitOpenEditor(QTableWidget* grid) { static_cast<CriteriaGrid*>(grid)->commitOpenEditor(); }

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

}  // namespace

TMySearch::TMySearch(SearchWindowContext context, QWidget* parent) : QDialog(parent), context_(std::move(context)) {
    setObjectName(QStringLiteral("TMySearch"));
    setWindowTitle(QStringLiteral("Search"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    comparisons_.fill(RowComparison::Equal);
    const double f = context_.factor;

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    OkButton = button("OkButton", QStringLiteral("&Ok"));
    ExitButton = button("ExitButton", QStringLiteral("E&xit"));
    ClearButton = button("ClearButton", QStringLiteral("&Clear Search"));
    MoreButton = button("MoreButton", QStringLiteral("&Find More"));
    HelpButton = button("HelpButton", QStringLiteral("&Help"));
    HelpButton->setEnabled(bool(context_.help));
    connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(ExitButton, &QPushButton::clicked, this, [this] { ExitButtonClick(); });
    connect(ClearButton, &QPushButton::clicked, this, [this] { ClearSearch(); });
    connect(MoreButton, &QPushButton::clicked, this, [this] { MoreButtonClick(); });
    connect(HelpButton, &QPushButton::clicked, this, [this] {
        if (context_.help) context_.help(QString::fromLatin1(kHelpKeyword));
    });

    SearchGrid = new CriteriaGrid(kFieldCount, 3);
    SearchGrid->setObjectName(QStringLiteral("SearchGrid"));
    SearchGrid->setHorizontalHeaderLabels({QStringLiteral(" FIELD"), QString(), QString()});
    SearchGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SearchGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SearchGrid->horizontalHeader()->setHighlightSections(false);
    SearchGrid->horizontalHeader()->setMinimumSectionSize(1);
    SearchGrid->verticalHeader()->setVisible(false);
    SearchGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SearchGrid->verticalHeader()->setDefaultSectionSize(int(20 * f));
    SearchGrid->setColumnWidth(kFieldColumn, int(200 * f));
    SearchGrid->setColumnWidth(kOptionsColumn, int(20 * f));
    SearchGrid->setColumnWidth(kCriteriaColumn, int(378 * f));
    SearchGrid->setFixedWidth(int((600 + 20) * f));
    SearchGrid->setMinimumHeight(int(300 * f));
    SearchGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    SearchGrid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::DoubleClicked);
    SearchGrid->setItemDelegateForColumn(kCriteriaColumn, new CriteriaDelegate(*this, SearchGrid));
    SearchGrid->setWordWrap(false);
    for (int field = 1; field <= kFieldCount; ++field) {
        const int row = field - 1;
        SearchGrid->setItem(row, kFieldColumn,
                            fixedItem(QStringLiteral(" ") + toQ(context_.settings.displayNames[field])));
        QTableWidgetItem* options = fixedItem(hasOptions(field) ? QStringLiteral("...") : QString());
        options->setTextAlignment(Qt::AlignCenter);
        if (hasOptions(field)) options->setBackground(QColor(128, 128, 128));
        SearchGrid->setItem(row, kOptionsColumn, options);
        SearchGrid->setItem(row, kCriteriaColumn, new QTableWidgetItem(QString()));
    }
    setHeading();
    connect(SearchGrid, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == kOptionsColumn) optionsClicked(row);
    });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {OkButton, ExitButton, ClearButton, MoreButton, HelpButton}) buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(SearchGrid);

    SetColors();
    SearchGrid->setCurrentCell(0, kCriteriaColumn);
    SearchGrid->setFocus();
}

void TMySearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    adjustSize();
    if (context_.place) context_.place(this);
    // The grid is sized for the screen already; the window fits around it again, about the
    // centre the placement chose.
    const QPoint centre = geometry().center();
    adjustSize();
    move(centre - QPoint(width() / 2, height() / 2));
    if (y() > 10) move(x(), y() - 10);
}

QString TMySearch::editMask(int field) const {
    const SearchRowKind kind = rv::browse::searchRowKind(field);
    if (kind == SearchRowKind::Text) return {};
    // Fixed text is escaped: "<", ">" and the letters of "AND" are template characters.  Every
    // position may stay blank, so that a half-typed or untouched template still reaches the
    // cell and the stored level says what is wrong with it.
    const QString sep = QStringLiteral("\\") + QChar(context_.dates.separator());
    const QString value = kind == SearchRowKind::Number ? QStringLiteral("xxxxxxxxx")
                                                        : QStringLiteral("00") + sep + QStringLiteral("00") + sep +
                                                              QStringLiteral("0000");
    const QString upper = kind == SearchRowKind::Number ? QStringLiteral("xxxxxxxx") : value;
    switch (comparison(field)) {
        case RowComparison::Equal: return QStringLiteral("= ") + value;
        case RowComparison::Greater: return QStringLiteral("\\> ") + value;
        case RowComparison::Less: return QStringLiteral("\\< ") + value;
        case RowComparison::Range: return QStringLiteral("\\> ") + value + QStringLiteral(" \\A\\N\\D \\< ") + upper;
    }
    return {};
}

void TMySearch::setHeading() {
    auto* heading = SearchGrid->horizontalHeaderItem(kCriteriaColumn);
    if (!heading) {
        heading = new QTableWidgetItem;
        SearchGrid->setHorizontalHeaderItem(kCriteriaColumn, heading);
    }
    heading->setText(toQ(rv::browse::criteriaHeading(level_)));
}

void TMySearch::clearCriteriaColumn() {
    commitOpenEditor(SearchGrid);
    for (int row = 0; row < kFieldCount; ++row) SearchGrid->item(row, kCriteriaColumn)->setText(QString());
}

bool TMySearch::SaveFields() {
    commitOpenEditor(SearchGrid);  // an open editor gives its text to the cell first
    rv::browse::SearchLevelRows rows;
    for (int field = 1; field <= kFieldCount; ++field) {
        const QString text = SearchGrid->item(field - 1, kCriteriaColumn)->text();
        auto stored = storable(this, text);
        if (!stored) {
            SearchGrid->setCurrentCell(field - 1, kCriteriaColumn);
            SearchGrid->setFocus();
            return false;
        }
        rows.cell(field) = *stored;
        rows.comparison(field) = comparison(field);
    }
    const rv::browse::StoreResult result = rv::browse::storeLevel(working_, rows, context_.dates);
    switch (result.outcome) {
        case rv::browse::StoreOutcome::Stored: return true;
        case rv::browse::StoreOutcome::NoCriteria:
            prompt().error(this, toQ(result.message));
            SearchGrid->setFocus();
            return false;
        case rv::browse::StoreOutcome::Invalid:
            prompt().error(this, toQ(result.message));
            SearchGrid->setCurrentCell(result.row - 1, kCriteriaColumn);
            SearchGrid->setFocus();
            return false;
        case rv::browse::StoreOutcome::TooMany:
            prompt().error(this, toQ(result.message));
            ClearSearch();
            return false;
    }
    return false;
}

void TMySearch::ClearSearch() {
    clearCriteriaColumn();
    working_.items.clear();
    level_ = 1;
    MoreButton->setEnabled(true);
    setHeading();
    SearchGrid->setFocus();
}

bool TMySearch::Doit() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool found = false;
    try {
        found = context_.search.start(working_);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    return found;
}

void TMySearch::OkButtonClick() {
    MoreButton->setEnabled(true);
    if (!SaveFields()) return;
    if (Doit()) {
        accept();
        return;
    }
    prompt().notice(this, QString::fromLatin1(rv::browse::kNoMatchesMessage));
    ClearSearch();
}

void TMySearch::MoreButtonClick() {
    if (SaveFields()) {
        clearCriteriaColumn();
        ++level_;
        setHeading();
        if (level_ >= rv::browse::kMaxSearchLevels) MoreButton->setEnabled(false);
    }
    SearchGrid->setFocus();
}

void TMySearch::ExitButtonClick() {
    MoreButton->setEnabled(true);
    reject();
}

void TMySearch::optionsClicked(int row) {
    const int field = row + 1;
    if (!hasOptions(field)) return;
    const QString name = toQ(context_.settings.displayNames[field]);
    if (rv::browse::searchRowKind(field) != SearchRowKind::Text) {
        TSearchOptions options(name, TSearchOptions::comparisonEntries(), int(comparison(field)) - 1, context_.settings,
                               this);
        if (context_.place) context_.place(&options);
        if (options.exec() != QDialog::Accepted || options.chosen() < 0) return;
        const auto chosen = static_cast<RowComparison>(options.chosen() + 1);
        if (chosen != comparison(field)) {
            comparisons_[size_t(row)] = chosen;
            // The old template's text does not fit the new one.
            SearchGrid->item(row, kCriteriaColumn)->setText(QString());
        }
        SearchGrid->setCurrentCell(row, kCriteriaColumn);
        SearchGrid->setFocus();
        return;
    }
    QStringList entries;
    for (const std::string& e : rv::browse::searchPickList(field, context_.lists, context_.programDir)) entries << toQ(e);
    TSearchOptions options(name, entries, -1, context_.settings, this);
    if (context_.place) context_.place(&options);
    if (options.exec() != QDialog::Accepted) return;
    if (options.chosen() >= 0) SearchGrid->item(row, kCriteriaColumn)->setText(entries[options.chosen()]);
    SearchGrid->setCurrentCell(row, kCriteriaColumn);
    SearchGrid->setFocus();
}

void TMySearch::SetColors() {
    const rv::app::ColorSet& c = context_.settings.colors[rv::app::SearchWindowColors];
    paintBackground(this, c[rv::app::MainBackground]);
    paintBox(SearchGrid, c[rv::app::EditText], c[rv::app::EditBackground]);
}

}  // namespace rv::gui
