#pragma once
// The viewer grid's model: the rows of the open video table in its current order (deleted
// and filtered-out records skipped), the configured columns, fetched lazily from the table
// engine one visible cell at a time, so a collection of any size opens at once.

#include <QAbstractTableModel>

#include <functional>
#include <vector>

#include "core/browse/ViewerLayout.h"
#include "core/db/FieldCatalog.h"

namespace rv::db {
class Table;
}

namespace rv::gui {

class VideoTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit VideoTableModel(rv::db::Table& table, QObject* parent = nullptr);
    ~VideoTableModel() override;

    void setColumns(std::vector<rv::browse::ViewerColumn> columns);
    const std::vector<rv::browse::ViewerColumn>& columns() const { return columns_; }
    int fieldAt(int column) const;  // catalogue number of a column, 0 when out of range

    // In-place editing of cells (the "Allow field editing" option).
    void setEditable(bool editable);
    bool editable() const { return editable_; }

    // Checked Out and Viewed show as check boxes storing "Yes" / "No".
    static bool isCheckField(int field) { return rv::db::isCheckBoxField(field); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The table's current record as a row, -1 when there is none.
    int currentRow() const;
    // Makes the record shown in a row the table's current record.
    bool moveToRow(int row);

    // Called with the error text when an in-place edit cannot be stored.
    void setErrorHandler(std::function<void(const QString&)> handler) { onError_ = std::move(handler); }

signals:
    // The table's current record moved (navigator, editor, locate): the grid follows.
    void currentRowChanged(int row);

private:
    void tableEvent(int event);
    void refreshCount();

    rv::db::Table& table_;
    std::vector<rv::browse::ViewerColumn> columns_;
    std::vector<int> tableFields_;  // table field index of each column, -1 when missing
    int rows_ = 0;
    bool editable_ = false;
    int subscription_ = -1;
    std::function<void(const QString&)> onError_;
};

}  // namespace rv::gui
