#pragma once
// The pictures of the main window's picture buttons and navigator bar, painted at run time so
// the program needs no image files.

#include <QIcon>

namespace rv::gui {

enum class MainIcon {
    NewDatabase, OpenDatabase, AddRecord, EditRecord, CopyRecord, DeleteRecord,
    ImportRecords, ExportRecords, Search, EndSearch, Locate, LocateNext, Reports,
    ViewerConfig, ColorSetup, SortOrder, Help,
    // navigator bar
    NavFirst, NavPrior, NavNext, NavLast, NavInsert, NavDelete, NavEdit, NavPost, NavCancel,
    NavRefresh,
};

QIcon mainIcon(MainIcon which);

}  // namespace rv::gui
