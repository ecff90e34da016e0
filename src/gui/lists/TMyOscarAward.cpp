#include "gui/lists/TMyOscarAward.h"

#include <QListWidget>
#include <QPushButton>

#include "gui/common/MainHost.h"
#include "gui/common/Text.h"

namespace rv::gui {

TMyOscarAward::TMyOscarAward(MainHost& main, rv::lists::SelectionKind kind, const std::string& currentText,
                             QWidget* parent)
    : QDialog(parent ? parent : main.widget()), main_(main), selection_(kind, main.programFolder(), currentText) {
    setObjectName(QStringLiteral("TMyOscarAward"));
    const auto caption = rv::lists::selectionCaption(kind);
    setWindowTitle(QString::fromLatin1(caption.data(), static_cast<int>(caption.size())));
    QFont design(QStringLiteral("Arial"));
    design.setPixelSize(13);
    setFont(design);
    setFixedSize(334, 376);

    OscarList = new QListWidget(this);
    OscarList->setObjectName(QStringLiteral("OscarList"));
    OscarList->setSelectionMode(QAbstractItemView::MultiSelection);  // each click toggles one entry
    OscarList->setGeometry(8, 8, 318, 314);
    OkButton = new QPushButton(QStringLiteral("&Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setGeometry(66, 332, 96, 34);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(172, 332, 96, 34);
    connect(OkButton, &QPushButton::clicked, this, &TMyOscarAward::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TMyOscarAward::CancelButtonClick);
    LoadList();
}

void TMyOscarAward::LoadList() {
    OscarList->clear();
    const auto& entries = selection_.entries();
    for (std::size_t row = 0; row < entries.size(); ++row) {
        auto* item = new QListWidgetItem(toQ(entries[row]), OscarList);
        item->setSelected(selection_.isSelected(row));
    }
}

void TMyOscarAward::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    FormShow();
}

void TMyOscarAward::FormShow() {
    main_.PlaceDialog(this);
    OscarList->setFocus();
}

std::string TMyOscarAward::joinedText() const {
    rv::lists::Selection picked = selection_;
    for (int row = 0; row < OscarList->count(); ++row)
        picked.setSelected(static_cast<std::size_t>(row), OscarList->item(row)->isSelected());
    return picked.joined();
}

void TMyOscarAward::OkButtonClick() { accept(); }
void TMyOscarAward::CancelButtonClick() { reject(); }

}  // namespace rv::gui
