#include "gui/backup/TMyBackup.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <system_error>
#include <vector>

#include "core/app/Paths.h"
#include "core/backup/Places.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

namespace fs = std::filesystem;

namespace {

const QString kParentEntry = QStringLiteral("..");

QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, int top) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(QString::fromLatin1(name));
    r->setGeometry(16, top, 370, 22);
    return r;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top, int width) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, top, width, 30);
    b->setAutoDefault(false);
    return b;
}

// The folders a folder holds, by name without regard to letter case; hidden ones left out.
std::vector<std::string> subfolders(const fs::path& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code e;
        if (!name.empty() && name[0] != '.' && it->is_directory(e)) out.push_back(name);
    }
    std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
        return QString::fromLocal8Bit(a).compare(QString::fromLocal8Bit(b), Qt::CaseInsensitive) < 0;
    });
    return out;
}

// Enter in the folder list opens the chosen folder instead of starting the backup.
class FolderList : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(QListWidgetItem*)> onOpen;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() && onOpen) {
            onOpen(currentItem());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

}  // namespace

TMyBackup::TMyBackup(rv::backup::Host& host, const rv::app::Settings& settings, QWidget* parent)
    : QDialog(parent), host_(host), settings_(settings) {
    setObjectName(QStringLiteral("TMyBackup"));
    setWindowTitle(QStringLiteral("Backup"));
    setFixedSize(420, 356);

    WhatGroup = new QGroupBox(QStringLiteral("What To Back Up"), this);
    WhatGroup->setObjectName(QStringLiteral("WhatGroup"));
    WhatGroup->setGeometry(8, 8, 404, 122);
    BackDBF = radio(WhatGroup, "BackDBF", QStringLiteral("Current &Database (*.DBF)"), 22);
    BackLST = radio(WhatGroup, "BackLST", QStringLiteral("Data &Lists of Current Database (*.0xx)"), 46);
    BackINI = radio(WhatGroup, "BackINI", QStringLiteral("Config &File of Current Database (*.INI)"), 70);
    BackURP = radio(WhatGroup, "BackURP", QStringLiteral("Global &Report Definitions (*.URP)"), 94);
    BackDBF->setChecked(true);

    WhereGroup = new QGroupBox(QStringLiteral("Where To Back Up To"), this);
    WhereGroup->setObjectName(QStringLiteral("WhereGroup"));
    WhereGroup->setGeometry(8, 136, 404, 170);
    DriveBox = new QComboBox(WhereGroup);
    DriveBox->setObjectName(QStringLiteral("DriveBox"));
    DriveBox->setGeometry(16, 24, 276, 26);
    BrowseButton = button(WhereGroup, "BrowseButton", QStringLiteral("&Browse..."), 300, 22, 88);
    FolderLabel = new QLabel(WhereGroup);
    FolderLabel->setObjectName(QStringLiteral("FolderLabel"));
    FolderLabel->setGeometry(16, 56, 372, 18);
    auto* list = new FolderList(WhereGroup);
    DirBox = list;
    DirBox->setObjectName(QStringLiteral("DirBox"));
    DirBox->setGeometry(16, 78, 372, 82);

    StartButton = button(this, "StartButton", QStringLiteral("&Start Back Up"), 8, 316, 132);
    StartButton->setDefault(true);
    CancelButton = button(this, "CancelButton", QStringLiteral("&Cancel"), 148, 316, 124);
    HelpButton = button(this, "HelpButton", QStringLiteral("&Help"), 280, 316, 132);
    HelpButton->setEnabled(false);

    // The places: the home folder first, then the mounted removable media.
    addPlace(QStringLiteral("Home folder  ") + QDir::homePath(), fs::path(pathFromQ(QDir::homePath())));
    for (const fs::path& medium : rv::backup::removableMedia())
        addPlace(QStringLiteral("Medium  ") + pathToQ(medium.string()), medium);

    connect(DriveBox, qOverload<int>(&QComboBox::activated), this, &TMyBackup::DriveBoxChange);
    connect(BrowseButton, &QPushButton::clicked, this, &TMyBackup::BrowseButtonClick);
    connect(DirBox, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { openEntry(item); });
    list->onOpen = [this](QListWidgetItem* item) { openEntry(item); };
    connect(StartButton, &QPushButton::clicked, this, &TMyBackup::StartButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TMyBackup::CancelButtonClick);
    connect(HelpButton, &QPushButton::clicked, this, &TMyBackup::HelpButtonClick);

    // On opening: the place that holds the program folder (the home folder unless the
    // program folder lies on a medium).
    int start = 0;
    const std::string program = host_.programFolder().string();
    for (int i = 1; i < DriveBox->count(); ++i) {
        const std::string medium = pathFromQ(DriveBox->itemData(i).toString());
        if (program.compare(0, medium.size(), medium) == 0) start = i;
    }
    DriveBox->setCurrentIndex(start);
    DriveBoxChange(start);
}

void TMyBackup::addPlace(const QString& caption, const fs::path& folder) {
    DriveBox->addItem(caption, pathToQ(folder.string()));
}

void TMyBackup::setHelpHandler(HelpFn help) {
    help_ = std::move(help);
    HelpButton->setEnabled(static_cast<bool>(help_));
}

void TMyBackup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TMyBackup::FormShow() {
    if (place_) place_(this);
    SetColors();
}

void TMyBackup::SetColors() { paintBackupWindow(this, settings_, {WhatGroup, WhereGroup}, {BackDBF, BackLST, BackINI, BackURP}); }

rv::backup::Choice TMyBackup::choice() const {
    if (BackLST->isChecked()) return rv::backup::Choice::Lists;
    if (BackINI->isChecked()) return rv::backup::Choice::Configuration;
    if (BackURP->isChecked()) return rv::backup::Choice::Reports;
    return rv::backup::Choice::Database;
}

void TMyBackup::DriveBoxChange(int index) {
    if (index < 0) return;
    setFolder(fs::path(pathFromQ(DriveBox->itemData(index).toString())));
}

void TMyBackup::setFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path full = fs::weakly_canonical(folder, ec);
    folder_ = ec ? folder : full;
    // A long path loses its middle rather than its end (the folder's own name).
    const QString text = pathToQ(folder_.string());
    FolderLabel->setText(FolderLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, FolderLabel->width()));
    FolderLabel->setToolTip(text);
    DirBox->clear();
    if (folder_.has_relative_path()) DirBox->addItem(kParentEntry);
    for (const std::string& name : subfolders(folder_)) DirBox->addItem(pathToQ(name));
    if (DirBox->count() > 0) DirBox->setCurrentRow(0);
}

void TMyBackup::openEntry(QListWidgetItem* item) {
    if (!item) return;
    if (item->text() == kParentEntry)
        setFolder(folder_.parent_path());
    else
        setFolder(folder_ / pathFromQ(item->text()));
}

void TMyBackup::BrowseButtonClick() {
    auto chosen = prompt().chooseDirectory(this, QStringLiteral("Where To Back Up To"), pathToQ(folder_.string()));
    if (!chosen) return;
    const fs::path folder(pathFromQ(*chosen));
    addPlace(QStringLiteral("Folder  ") + *chosen, folder);
    DriveBox->setCurrentIndex(DriveBox->count() - 1);
    setFolder(folder);
}

void TMyBackup::StartButtonClick() {
    WindowFeedback feedback(this);
    const auto outcome = runShowingErrors(this, [&] { return rv::backup::backup(host_, feedback, choice(), folder_); });
    if (outcome == rv::backup::Outcome::Stopped) return;
    CancelButton->setText(QStringLiteral("&Close"));
    CancelButton->setFocus();
}

void TMyBackup::CancelButtonClick() { reject(); }

void TMyBackup::HelpButtonClick() {
    if (help_) help_(kBackupHelpKeyword);
}

}  // namespace rv::gui
