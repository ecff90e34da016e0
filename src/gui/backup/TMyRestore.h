#pragma once
// The Restore window: one kind of backed-up file picked in an open dialog and copied back
// (rv::backup does the run).  A restored database becomes the current database.

#include <QDialog>

#include <filesystem>

#include "core/app/Settings.h"
#include "core/backup/BackupRestore.h"
#include "gui/backup/BackupFeedback.h"
#include "gui/common/Prompt.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace rv::gui {

class TMyRestore : public QDialog {
    Q_OBJECT
public:
    TMyRestore(rv::backup::Host& host, const rv::app::Settings& settings, QWidget* parent = nullptr);

    void setPlacement(PlaceDialogFn place) { place_ = std::move(place); }
    void setHelpHandler(HelpFn help);

    rv::backup::Choice choice() const;
    // The open dialog of a choice: title, filter, default extension and proposed file.
    static FileRequest openRequest(rv::backup::Choice choice, const std::filesystem::path& folder);

    void StartButtonClick();
    void CancelButtonClick();
    void HelpButtonClick();
    void SetColors();

    QGroupBox* WhatGroup = nullptr;
    QRadioButton *RestoreDBF = nullptr, *RestoreLST = nullptr, *RestoreINI = nullptr, *RestoreURP = nullptr;
    QPushButton *StartButton = nullptr, *CancelButton = nullptr, *HelpButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    rv::backup::Host& host_;
    const rv::app::Settings& settings_;
    PlaceDialogFn place_;
    HelpFn help_;
    std::filesystem::path lastFolder_;  // where the open dialogs start
    bool shown_ = false;
};

}  // namespace rv::gui
