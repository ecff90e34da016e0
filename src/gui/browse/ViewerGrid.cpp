#include "gui/browse/ViewerGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "core/app/Settings.h"
#include "core/browse/ViewerLayout.h"
#include "gui/browse/VideoTableModel.h"
#include "gui/common/Colors.h"
#include "gui/common/Placement.h"
#include "gui/common/TypingBox.h"

namespace rv::gui {

namespace {

// Draws the cell, then the lines between columns and rows as configured (a table view only
// knows all lines or none), and gives the list fields a drop-down editor.
class ViewerDelegate : public QStyledItemDelegate {
public:
    explicit ViewerDelegate(ViewerGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(128, 128, 128));
        const QRect r = option.rect;
        if (grid_->columnLines()) painter->drawLine(r.topRight(), r.bottomRight());
        if (grid_->rowLines()) painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        auto* model = qobject_cast<const VideoTableModel*>(index.model());
        int field = model ? model->fieldAt(index.column()) : 0;
        if (!ViewerGrid::isDropDownField(field) || !grid_->entriesProvider())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* combo = new QComboBox(parent);
        makePlainDropDown(combo);  // the cell keeps exactly what was typed
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(grid_->entriesProvider()(field));
        combo->setFont(grid_->font());
        combo->setMaxVisibleItems(15);
        return combo;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentText(index.data(Qt::EditRole).toString());
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    ViewerGrid* grid_;
};

}  // namespace

ViewerGrid::ViewerGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("ViewerGrid"));
    setItemDelegate(new ViewerDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(true);  // Tab moves between cells
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void ViewerGrid::setEntriesProvider(EntriesProvider provider) { entries_ = std::move(provider); }

bool ViewerGrid::isDropDownField(int field) {
    // Producer, Star 1-6, Director, Released By, Rating, Category, Picture, Sound, Format,
    // Personal Rating, Rec Speed, Content, Laser Format, Check Out Person, Where Purchased.
    switch (field) {
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10:
    case 13: case 14: case 15: case 16: case 17: case 18: case 20: case 24: case 27: case 33: case 36:
        return true;
    default:
        return false;
    }
}

void ViewerGrid::applyOptions(VideoTableModel& model, const rv::app::Settings& s, bool browseMode) {
    if (this->model() != &model) {
        setModel(&model);
        connect(&model, &VideoTableModel::currentRowChanged, this, &ViewerGrid::followCurrentRow,
                Qt::UniqueConnection);
    }
    const bool editing = s.fieldEditing && !browseMode;

    // Options: row indicator, lines, titles, in-place editing or whole-row selection.
    verticalHeader()->setVisible(s.rowIndicator);
    rowLines_ = s.rowLines;
    columnLines_ = s.columnLines;
    horizontalHeader()->setVisible(s.gridShowTitles);
    model.setEditable(editing);
    if (editing) {
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    } else {
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    setSelectionMode(QAbstractItemView::SingleSelection);

    // Cell font and colour, title font, colour and alignment.
    const QFont cellFont = toQFont(s.gridFont);
    setFont(cellFont);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, toQColor(s.gridCellColor));
    pal.setColor(QPalette::Window, toQColor(s.gridCellColor));
    pal.setColor(QPalette::Text, toQColor(s.gridFont.color));
    setPalette(pal);
    const QFont titleFont = toQFont(s.gridTitleFont);
    horizontalHeader()->setFont(titleFont);
    const Qt::Alignment align = s.gridTitleAlignment == 1   ? Qt::AlignLeft | Qt::AlignVCenter
                                : s.gridTitleAlignment == 3 ? Qt::AlignRight | Qt::AlignVCenter
                                                            : Qt::AlignCenter;
    horizontalHeader()->setDefaultAlignment(align);
    const QColor titleColor = toQColor(s.gridTitleColor);
    const QColor titleText = toQColor(s.gridTitleFont.color);
    const QString headerStyle =
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; border: 1px solid #606060; "
                       "border-left: none; border-top: none; padding: 1px 3px; }")
            .arg(titleColor.name(), titleText.name());
    horizontalHeader()->setStyleSheet(headerStyle);
    verticalHeader()->setStyleSheet(headerStyle);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);

    // Columns: order, titles and widths in characters of the cell font.
    model.setColumns(rv::browse::viewerColumns(s));
    const QFontMetrics fm(cellFont);
    const int charWidth = fm.averageCharWidth();
    for (int c = 0; c < model.columnCount(); ++c)
        setColumnWidth(c, model.columns()[size_t(c)].width * charWidth + 8);
    verticalHeader()->setDefaultSectionSize(fm.height() + 6);
    verticalHeader()->setFixedWidth(s.rowIndicator ? 14 : 0);
    followCurrentRow(model.currentRow());
    viewport()->update();
}

void ViewerGrid::followCurrentRow(int row) {
    if (!model() || row < 0 || following_) return;
    QModelIndex current = currentIndex();
    if (current.isValid() && current.row() == row) return;
    following_ = true;
    QModelIndex target = model()->index(row, current.isValid() ? current.column() : 0);
    setCurrentIndex(target);
    scrollTo(target);
    following_ = false;
}

void ViewerGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (following_ || !current.isValid()) return;
    if (auto* m = qobject_cast<VideoTableModel*>(model()); m && current.row() != previous.row()) {
        following_ = true;  // the table's move notification comes back: don't chase it
        m->moveToRow(current.row());
        following_ = false;
    }
}

void ViewerGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QModelIndex index = indexAt(event->position().toPoint());
    auto* m = qobject_cast<VideoTableModel*>(model());
    // With field editing on a double click edits the cell in place; otherwise it opens the
    // record in the editor.
    if (m && m->editable() && index.isValid()) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    if (index.isValid()) emit recordActivated(index.row());
}

}  // namespace rv::gui
