#include "gui/browse/VideoTableModel.h"

#include "core/app/Cp1252.h"
#include "core/db/Table.h"
#include "gui/common/Text.h"

namespace rv::gui {

using rv::db::Table;

VideoTableModel::VideoTableModel(Table& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {
    subscription_ = table_.subscribe([this](Table::Event e) { tableEvent(int(e)); });
    refreshCount();
}

VideoTableModel::~VideoTableModel() { table_.unsubscribe(subscription_); }

void VideoTableModel::refreshCount() { rows_ = table_.isOpen() ? table_.rowCount() : 0; }

void VideoTableModel::setColumns(std::vector<rv::browse::ViewerColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    tableFields_.clear();
    for (const auto& c : columns_)
        tableFields_.push_back(table_.isOpen() ? table_.fieldIndex(rv::db::field(c.field).name) : -1);
    refreshCount();
    endResetModel();
}

int VideoTableModel::fieldAt(int column) const {
    return column >= 0 && column < int(columns_.size()) ? columns_[size_t(column)].field : 0;
}

void VideoTableModel::setEditable(bool editable) {
    if (editable_ == editable) return;
    editable_ = editable;
    if (rows_ > 0 && !columns_.empty()) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

void VideoTableModel::tableEvent(int event) {
    switch (Table::Event(event)) {
    case Table::Event::RecordMoved:
        if (rows_ > 0) emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);  // the row indicator moves
        emit currentRowChanged(currentRow());
        break;
    case Table::Event::DataChanged: {
        int before = rows_;
        refreshCount();
        if (rows_ != before) {
            beginResetModel();
            endResetModel();
        } else if (rows_ > 0 && !columns_.empty()) {
            emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
            emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
        }
        emit currentRowChanged(currentRow());
        break;
    }
    case Table::Event::Reopened:
    case Table::Event::Closed:
        // The field layout may differ after a reopen: look the columns' fields up again.
        setColumns(columns_);
        emit currentRowChanged(currentRow());
        break;
    }
}

int VideoTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int VideoTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant VideoTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= int(columns_.size())) return {};
    int tableField = tableFields_[size_t(index.column())];
    if (tableField < 0) return {};
    int field = columns_[size_t(index.column())].field;
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::CheckStateRole) return {};
    int recNo = table_.recNoAtRow(index.row());
    if (recNo == 0) return {};
    std::string value = table_.valueAt(recNo, tableField);
    if (isCheckField(field)) {
        if (role == Qt::CheckStateRole) return value == "Yes" ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role == Qt::CheckStateRole) return {};
    return toQ(value);
}

QVariant VideoTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < int(columns_.size()))
            return toQ(columns_[size_t(section)].title);
        return {};
    }
    // The row indicator: a pointer at the current record.
    if (role == Qt::DisplayRole) return section == currentRow() ? QStringLiteral("\u25B6") : QString();
    return {};
}

Qt::ItemFlags VideoTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_ && table_.isWritable()) {
        if (isCheckField(fieldAt(index.column()))) f |= Qt::ItemIsUserCheckable;
        else f |= Qt::ItemIsEditable;
    }
    return f;
}

bool VideoTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !editable_ || index.column() >= int(columns_.size())) return false;
    int field = fieldAt(index.column());
    int tableField = tableFields_[size_t(index.column())];
    if (tableField < 0) return false;
    std::string text;
    if (isCheckField(field)) {
        if (role != Qt::CheckStateRole) return false;
        text = value.toInt() == Qt::Checked ? "Yes" : "No";
    } else {
        if (role != Qt::EditRole) return false;
        std::string bad;
        auto stored = rv::app::utf8ToCp1252(value.toString().toStdString(), &bad);
        if (!stored) {
            if (onError_) onError_(QString::fromStdString(rv::app::unencodableMessage(bad)));
            return false;
        }
        text = *stored;
    }
    // A record begun with the navigator's "+" is what the current row's typing fills in;
    // typing in any other row posts that record first, as leaving it does.
    const bool intoInsert = table_.state() == Table::State::Insert && index.row() == currentRow();
    if (!intoInsert && !moveToRow(index.row())) return false;
    try {
        if (!intoInsert) table_.edit();
        table_.setString(tableField, text);
        table_.post();
    } catch (const rv::db::DatabaseError& e) {
        if (table_.state() == Table::State::Edit) table_.cancel();
        if (onError_) onError_(toQ(e.what()));
        return false;
    }
    return true;
}

int VideoTableModel::currentRow() const { return table_.isOpen() ? table_.currentRow() : -1; }

bool VideoTableModel::moveToRow(int row) { return table_.isOpen() && table_.moveToRow(row); }

}  // namespace rv::gui
