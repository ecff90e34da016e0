#include "gui/lists/TMyEditBox.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "gui/common/MainHost.h"
#include "gui/common/Colors.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

namespace {


int maxEntryLength(int list) {
    for (const auto& item : rv::lists::kMaintenanceItems)
        if (item.list == list) return item.maxEntryLength;
    return static_cast<int>(rv::lists::kMaxEntryLength);
}

}  // namespace

TMyEditBox::TMyEditBox(MainHost& main, rv::lists::DataLists& lists, int list, QWidget* parent)
    : QDialog(parent ? parent : main.widget()),
      main_(main),
      lists_(lists),
      editor_(rv::lists::ListEditor::open(lists, list, main.programFolder())) {
    setObjectName(QStringLiteral("TMyEditBox"));
    setWindowTitle(toQ(rv::lists::maintenanceCaption(list)));
    QFont design(QStringLiteral("Arial"));
    design.setPixelSize(13);
    setFont(design);
    setFixedSize(262, 442);

    AddInfo = new QLineEdit(this);
    AddInfo->setObjectName(QStringLiteral("AddInfo"));
    AddInfo->setGeometry(8, 10, 166, 26);
    AddInfo->setMaxLength(maxEntryLength(list));
    AddButton = new QPushButton(QStringLiteral("&Add"), this);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    AddButton->setGeometry(182, 8, 72, 30);
    TheList = new QListWidget(this);
    TheList->setObjectName(QStringLiteral("TheList"));
    TheList->setSelectionMode(QAbstractItemView::SingleSelection);
    TheList->setGeometry(8, 46, 246, 342);
    struct Def {
        QPushButton** button;
        const char* name;
        const char* caption;
    };
    const Def defs[] = {{&DeleteButton, "DeleteButton", "&Delete"},
                        {&SortButton, "SortButton", "&Sort"},
                        {&OkButton, "OkButton", "&Ok"},
                        {&CancelButton, "CancelButton", "&Cancel"}};
    int left = 8;
    for (const auto& d : defs) {
        auto* b = new QPushButton(QString::fromLatin1(d.caption), this);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setGeometry(left, 398, 58, 34);
        *d.button = b;
        left += 63;
    }
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
    connect(AddButton, &QPushButton::clicked, this, &TMyEditBox::AddButtonClick);
    connect(AddInfo, &QLineEdit::returnPressed, this, &TMyEditBox::AddButtonClick);
    connect(DeleteButton, &QPushButton::clicked, this, &TMyEditBox::DeleteButtonClick);
    connect(SortButton, &QPushButton::clicked, this, &TMyEditBox::SortButtonClick);
    connect(OkButton, &QPushButton::clicked, this, &TMyEditBox::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TMyEditBox::CancelButtonClick);
    // The selection, not the current row, is what Delete removes: Ctrl+click on the selected
    // entry clears the selection while the current row stays.
    connect(TheList, &QListWidget::itemSelectionChanged, this, [this] {
        const auto rows = TheList->selectionModel()->selectedRows();
        editor_.select(rows.isEmpty() ? std::nullopt
                                      : std::optional<std::size_t>(static_cast<std::size_t>(rows.front().row())));
    });
    showEntries();
}

void TMyEditBox::showEntries() {
    const QSignalBlocker block(TheList);
    TheList->clear();
    for (const auto& entry : editor_.entries()) TheList->addItem(toQ(entry));
    if (const auto row = editor_.selected())
        TheList->setCurrentRow(static_cast<int>(*row));
    else
        TheList->setCurrentRow(-1);
}

void TMyEditBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    FormShow();
}

void TMyEditBox::FormShow() {
    main_.PlaceDialog(this);
    SetColors();
    TheList->setFocus();
    showEntries();
}

void TMyEditBox::SetColors() {
    using namespace rv::app;
    const ColorSet& c = main_.settings().colors[ConfigureWindowColors];
    paintBackground(this, c[MainBackground]);
    paintBox(AddInfo, c[EditText], c[EditBackground]);
    paintBox(TheList, c[ListBoxText], c[ListBoxBackground]);
}

void TMyEditBox::AddButtonClick() {
    auto entry = storable(this, AddInfo->text());
    if (!entry) return;  // the typed text stays for correcting
    if (editor_.add(*entry)) showEntries();
    AddInfo->clear();
    AddInfo->setFocus();
}

void TMyEditBox::DeleteButtonClick() {
    if (!editor_.selected()) return;
    editor_.removeSelected();
    showEntries();
}

void TMyEditBox::SortButtonClick() {
    if (!prompt().yes(this, toQ(rv::lists::kSortTitle), toQ(rv::lists::kSortQuestion), Answer::Yes, Icon::Question)) return;
    editor_.sort();
    showEntries();
}

void TMyEditBox::OkButtonClick() {
    editor_.store(lists_, main_.basePath(), main_.programFolder());
    accept();
}

void TMyEditBox::CancelButtonClick() { reject(); }

}  // namespace rv::gui
