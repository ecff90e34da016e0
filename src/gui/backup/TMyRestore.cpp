#include "gui/backup/TMyRestore.h"

#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "gui/common/Text.h"

namespace rv::gui {

namespace fs = std::filesystem;

namespace {

QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, int top) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(QString::fromLatin1(name));
    r->setGeometry(16, top, 340, 22);
    return r;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int width) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, 140, width, 30);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TMyRestore::TMyRestore(rv::backup::Host& host, const rv::app::Settings& settings, QWidget* parent)
    : QDialog(parent), host_(host), settings_(settings), lastFolder_(pathFromQ(QDir::homePath())) {
    setObjectName(QStringLiteral("TMyRestore"));
    setWindowTitle(QStringLiteral("Restore"));
    setFixedSize(388, 180);

    WhatGroup = new QGroupBox(QStringLiteral("What To Restore"), this);
    WhatGroup->setObjectName(QStringLiteral("WhatGroup"));
    WhatGroup->setGeometry(8, 8, 372, 122);
    RestoreDBF = radio(WhatGroup, "RestoreDBF", QStringLiteral("&Database File (*.DBF)"), 22);
    RestoreLST = radio(WhatGroup, "RestoreLST", QStringLiteral("Data &Lists of a Database (*.0xx)"), 46);
    RestoreINI = radio(WhatGroup, "RestoreINI", QStringLiteral("Config &File of a Database (*.INI)"), 70);
    RestoreURP = radio(WhatGroup, "RestoreURP", QStringLiteral("Global &Report Definitions (*.URP)"), 94);
    RestoreDBF->setChecked(true);

    StartButton = button(this, "StartButton", QStringLiteral("&Start Restore"), 8, 124);
    StartButton->setDefault(true);
    CancelButton = button(this, "CancelButton", QStringLiteral("&Cancel"), 140, 116);
    HelpButton = button(this, "HelpButton", QStringLiteral("&Help"), 264, 116);
    HelpButton->setEnabled(false);

    connect(StartButton, &QPushButton::clicked, this, &TMyRestore::StartButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TMyRestore::CancelButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TMyRestore::HelpButtonClick);
}

void TMyRestore::setHelpHandler(HelpFn help) {
    help_ = std::move(help);
    HelpButton->setEnabled(static_cast<bool>(help_));
}

void TMyRestore::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TMyRestore::FormShow() {
    if (place_) place_(this);
    SetColors();
}

void TMyRestore::SetColors() {
    paintBackupWindow(this, settings_, {WhatGroup}, {RestoreDBF, RestoreLST, RestoreINI, RestoreURP});
}

rv::backup::Choice TMyRestore::choice() const {
    if (RestoreLST->isChecked()) return rv::backup::Choice::Lists;
    if (RestoreINI->isChecked()) return rv::backup::Choice::Configuration;
    if (RestoreURP->isChecked()) return rv::backup::Choice::Reports;
    return rv::backup::Choice::Database;
}

FileRequest TMyRestore::openRequest(rv::backup::Choice choice, const fs::path& folder) {
    FileRequest r;
    r.mode = FileRequest::Mode::Open;
    r.mustExist = true;
    r.filter = vclFilter(QStringLiteral("DBase Files (*.DBF)|*.DBF"));
    r.defaultSuffix = QStringLiteral("DBF");
    r.directory = pathToQ(folder.string());
    switch (choice) {
        case rv::backup::Choice::Database: r.title = QStringLiteral("Restore Database File"); break;
        case rv::backup::Choice::Lists: r.title = QStringLiteral("Restore Data List Files"); break;
        case rv::backup::Choice::Configuration: r.title = QStringLiteral("Restore Configuration File"); break;
        case rv::backup::Choice::Reports:
            r.title = QStringLiteral("Restore URP File");
            r.filter = vclFilter(QStringLiteral("Reports Files (*.URP)|*.URP"));
            r.defaultSuffix = QStringLiteral("URP");
            r.directory = pathToQ((folder / rv::backup::kReportsFileName).string());
            break;
    }
    return r;
}

void TMyRestore::StartButtonClick() {
    const auto kind = choice();
    const auto picked = prompt().chooseFile(this, openRequest(kind, lastFolder_));
    if (!picked) return;
    const fs::path file(pathFromQ(*picked));
    lastFolder_ = file.parent_path();
    WindowFeedback feedback(this);
    const auto outcome = runShowingErrors(this, [&] { return rv::backup::restore(host_, feedback, kind, file); });
    if (outcome == rv::backup::Outcome::Stopped) return;
    CancelButton->setText(QStringLiteral("&Close"));
    CancelButton->setFocus();
}

void TMyRestore::CancelButtonClick() { reject(); }

void TMyRestore::HelpButtonClick() {
    if (help_) help_(kBackupHelpKeyword);
}

}  // namespace rv::gui
