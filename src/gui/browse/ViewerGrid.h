#pragma once
// The viewer grid of the main window ("Video Viewer"): a table view over the video table
// with the configured columns, fonts, colours and lines, drop-down editors for the twenty
// list fields and check boxes for Checked Out and Viewed.

#include <QStringList>
#include <QTableView>

#include <functional>

namespace rv::app {
struct Settings;
}

namespace rv::gui {

class VideoTableModel;

class ViewerGrid : public QTableView {
    Q_OBJECT
public:
    explicit ViewerGrid(QWidget* parent = nullptr);

    // The entries a drop-down editor offers for a catalogue field (its own entry list).
    using EntriesProvider = std::function<QStringList(int field)>;
    void setEntriesProvider(EntriesProvider provider);
    const EntriesProvider& entriesProvider() const { return entries_; }

    // The twenty fields edited through a drop-down list in the grid.
    static bool isDropDownField(int field);

    bool columnLines() const { return columnLines_; }
    bool rowLines() const { return rowLines_; }

    // Applies the viewer configuration (SetViewerOptions): options, fonts, colours, title
    // look, and the columns in their order, widths and titles.  In browse-only mode field
    // editing stays off whatever the settings say.
    void applyOptions(VideoTableModel& model, const rv::app::Settings& settings, bool browseMode);

    // Keeps the selection on the table's current record.
    void followCurrentRow(int row);

signals:
    // A row was double-clicked: the main window edits that record.
    void recordActivated(int row);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    EntriesProvider entries_;
    bool columnLines_ = true;
    bool rowLines_ = true;
    bool following_ = false;
};

}  // namespace rv::gui
