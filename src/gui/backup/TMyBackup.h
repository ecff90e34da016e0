#pragma once
// The Backup window: one kind of file of the current database (or the program's report
// definitions) copied into a folder.  The folder is chosen from a place -- the home folder,
// a removable medium mounted under /media or /run/media, or any folder picked through the
// folder dialog -- and a folder list that opens subfolders.  The run itself is the core's
// (rv::backup); the window only shows its messages.

#include <QDialog>

#include <filesystem>

#include "core/app/Settings.h"
#include "core/backup/BackupRestore.h"
#include "gui/backup/BackupFeedback.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace rv::gui {

class TMyBackup : public QDialog {
    Q_OBJECT
public:
    TMyBackup(rv::backup::Host& host, const rv::app::Settings& settings, QWidget* parent = nullptr);

    void setPlacement(PlaceDialogFn place) { place_ = std::move(place); }
    void setHelpHandler(HelpFn help);

    // The choice of the four radio buttons, and the destination folder.
    rv::backup::Choice choice() const;
    const std::filesystem::path& folder() const { return folder_; }
    // Shows a folder in the folder list (and makes it the destination).
    void setFolder(const std::filesystem::path& folder);

    void DriveBoxChange(int index);
    void StartButtonClick();
    void CancelButtonClick();
    void HelpButtonClick();
    void BrowseButtonClick();
    void SetColors();

    QGroupBox* WhatGroup = nullptr;
    QRadioButton *BackDBF = nullptr, *BackLST = nullptr, *BackINI = nullptr, *BackURP = nullptr;
    QGroupBox* WhereGroup = nullptr;
    QComboBox* DriveBox = nullptr;
    QPushButton* BrowseButton = nullptr;
    QLabel* FolderLabel = nullptr;
    QListWidget* DirBox = nullptr;
    QPushButton *StartButton = nullptr, *CancelButton = nullptr, *HelpButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void addPlace(const QString& caption, const std::filesystem::path& folder);
    void openEntry(QListWidgetItem* item);

    rv::backup::Host& host_;
    const rv::app::Settings& settings_;
    PlaceDialogFn place_;
    HelpFn help_;
    std::filesystem::path folder_;
    bool shown_ = false;
};

}  // namespace rv::gui
