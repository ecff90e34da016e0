#include "gui/edit/TMyEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <utility>

#include "core/app/Formats.h"
#include "core/db/Table.h"
#include "core/edit/EditorMessages.h"
#include "core/edit/RecordUpdate.h"
#include "core/edit/Validation.h"
#include "gui/common/Colors.h"
#include "gui/common/Messages.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/common/TypingBox.h"
#include "gui/lists/ListCommands.h"
#include "gui/lists/TMyOscarAward.h"

namespace rv::gui {

using rv::edit::EditorMode;
using rv::edit::EditorRecord;

namespace {

// Design geometry: the client area below the menu bar, label and box columns, row pitch.
constexpr int kClientWidth = 632;
constexpr int kClientHeight = 418;
constexpr int kLabelLeft = 8;
constexpr int kLabelWidth = 120;
constexpr int kBoxLeft = 132;
constexpr int kBoxHeight = 26;
constexpr int kRowPitch = 33;
constexpr int kFootTop = 300;

int rowTop(int row) { return 8 + row * kRowPitch; }


}  // namespace

TMyEdit::TMyEdit(MainHost& main) : QDialog(main.widget()), main_(main) {
    setObjectName(QStringLiteral("TMyEdit"));
    setWindowTitle(toQ(rv::edit::kCaptionEdit));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont design(QStringLiteral("Arial"));
    design.setPixelSize(13);
    setFont(design);
    setModal(true);

    createMenus();
    createControls();
    buildEnterChain();

    // Boxes take no more than their field holds.
    for (const auto& b : rv::edit::kEditorBoxes) {
        if (auto* e = qobject_cast<QLineEdit*>(boxes_[static_cast<std::size_t>(b.field)]))
            e->setMaxLength(rv::edit::maxLength(b.field));
        else if (auto* c = qobject_cast<QComboBox*>(boxes_[static_cast<std::size_t>(b.field)]))
            c->lineEdit()->setMaxLength(rv::edit::maxLength(b.field));
    }

    // Browse-only mode: nothing can be typed into the record or written.
    if (main_.browseMode()) {
        for (QAction* a : {MenuNew, MenuClear, MenuUpdate, MenuUpdateExit, MenuCut, MenuCopy, MenuPaste, MenuDelete})
            a->setEnabled(false);
        for (QPushButton* b : {UpdateExitButton, UpdateButton, ClearButton}) b->setEnabled(false);
    }

    listsListener_ = lists_.subscribe([this](const rv::lists::DataLists::Change& change) {
        if (!change.viewer) fillDropDowns(change.number);
    });
    LoadAllList(main_.basePath());
    SaveFormDimensions(this, dimensions_);
}

TMyEdit::~TMyEdit() { lists_.unsubscribe(listsListener_); }

// ---- Construction ---------------------------------------------------------------------------

void TMyEdit::createMenus() {
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption, const char* shortcut,
                       void (TMyEdit::*handler)()) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        if (shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        if (menu) menu->addAction(a);
        addAction(a);  // shortcuts work wherever the focus is in the window
        if (handler) connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu* file = MainMenu->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MenuFile"));
    MenuNew = item(file, "MenuNew", QStringLiteral("N&ew Record"), "Ctrl+E", &TMyEdit::MenuNewClick);
    MenuCopyRecord = item(file, "MenuCopyRecord", QStringLiteral("Cop&y Record"), "Ctrl+Y", &TMyEdit::MenuCopyRecordClick);
    MenuClear = item(file, "MenuClear", QStringLiteral("&Clear Record"), "Ctrl+L", &TMyEdit::DoClear);
    MenuUpdate = item(file, "MenuUpdate", QStringLiteral("Up&date Record"), "Ctrl+R", &TMyEdit::DoAnUpdate);
    MenuUpdateExit = item(file, "MenuUpdateExit", QStringLiteral("&Update && Exit"), "Ctrl+U", &TMyEdit::DoUpdateAndExit);
    MenuPrintRecord = item(file, "MenuPrintRecord", QStringLiteral("Prin&t Record"), "Ctrl+T", &TMyEdit::MenuPrintRecordClick);
    file->addSeparator();
    MenuPrevious = item(file, "MenuPrevious", QStringLiteral("&Previous Record"), "Ctrl+P", &TMyEdit::DoPreviousRecord);
    MenuNext = item(file, "MenuNext", QStringLiteral("&Next Record"), "Ctrl+N", &TMyEdit::DoNextRecord);
    file->addSeparator();
    MenuExit = item(file, "MenuExit", QStringLiteral("E&xit"), nullptr, &TMyEdit::DoExit);

    QMenu* edit = MainMenu->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    MenuCut = item(edit, "MenuCut", QStringLiteral("Cu&t"), "Ctrl+X", nullptr);
    MenuCopy = item(edit, "MenuCopy", QStringLiteral("&Copy"), "Ctrl+C", nullptr);
    MenuPaste = item(edit, "MenuPaste", QStringLiteral("&Paste"), "Ctrl+V", nullptr);
    MenuDelete = item(edit, "MenuDelete", QStringLiteral("&Delete"), "Ctrl+D", nullptr);
    const std::pair<QAction*, ClipboardOp> clipboardItems[] = {{MenuCut, ClipboardOp::Cut},
                                                              {MenuCopy, ClipboardOp::Copy},
                                                              {MenuPaste, ClipboardOp::Paste},
                                                              {MenuDelete, ClipboardOp::Delete}};
    for (const auto& [a, op] : clipboardItems)
        connect(a, &QAction::triggered, this, [this, op] { clipboard(op); });

    MenuHelp = item(nullptr, "MenuHelp", QStringLiteral("&Help"), "Ctrl+H", &TMyEdit::MenuHelpClick);
    MainMenu->addAction(MenuHelp);
    MenuPrintRecord->setEnabled(false);
    MenuHelp->setEnabled(false);
}

void TMyEdit::createControls() {
    const int menuHeight = MainMenu->sizeHint().height();
    MainMenu->setGeometry(0, 0, kClientWidth, menuHeight);
    setFixedSize(kClientWidth, kClientHeight + menuHeight);

    MyTabbedNoteBook = new QTabWidget(this);
    MyTabbedNoteBook->setObjectName(QStringLiteral("MyTabbedNoteBook"));
    MyTabbedNoteBook->setGeometry(4, menuHeight + 4, kClientWidth - 8, 362);
    const char* const captions[4] = {"Par&ticulars", "&Attributes", "Li&brary", "&Other"};
    for (int p = 0; p < 4; ++p) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("Page%1").arg(p));
        MyTabbedNoteBook->addTab(page, QString::fromLatin1(captions[p]));
    }
    layoutPages();

    struct ButtonDef {
        QPushButton** button;
        const char* name;
        const char* caption;
        void (TMyEdit::*handler)();
    };
    const ButtonDef buttons[] = {
        {&UpdateExitButton, "UpdateExitButton", "&Update && Exit", &TMyEdit::DoUpdateAndExit},
        {&UpdateButton, "UpdateButton", "Up&date", &TMyEdit::DoAnUpdate},
        {&ClearButton, "ClearButton", "C&lear", &TMyEdit::DoClear},
        {&CancelButton, "CancelButton", "E&xit", &TMyEdit::DoExit},
        {&PrevButton, "PrevButton", "&Previous", &TMyEdit::DoPreviousRecord},
        {&NextButton, "NextButton", "&Next", &TMyEdit::DoNextRecord},
    };
    int left = 8;
    for (const auto& def : buttons) {
        auto* b = new QPushButton(QString::fromLatin1(def.caption), this);
        b->setObjectName(QString::fromLatin1(def.name));
        b->setGeometry(left, menuHeight + 374, 100, 34);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, def.handler);
        *def.button = b;
        left += 104;
    }
}

namespace {

QLabel* makeLabel(QWidget* page, const char* name, int row, int left = kLabelLeft, int width = kLabelWidth) {
    auto* l = new QLabel(page);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(left, rowTop(row), width, kBoxHeight);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QLineEdit* makeEdit(QWidget* page, const char* name, int row, int width, int left = kBoxLeft) {
    auto* e = new TypingBox(page);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(left, rowTop(row), width, kBoxHeight);
    return e;
}

QComboBox* makeCombo(QWidget* page, const char* name, int row, int width, int left = kBoxLeft) {
    auto* c = new QComboBox(page);
    c->setObjectName(QString::fromLatin1(name));
    makePlainDropDown(c);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(12);
    c->setGeometry(left, rowTop(row), width, kBoxHeight);
    return c;
}

QLabel* makeFoot(QWidget* page, const char* name) {
    auto* l = new QLabel(page);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(kLabelLeft, kFootTop, 600, 22);
    QFont bold = l->font();
    bold.setBold(true);
    l->setFont(bold);
    return l;
}

}  // namespace

namespace {

// A box with its label to the left: page, row, the two components and the box's width.
// Page 1 has a second column on the right.
struct LabelledBox {
    int page;
    int row;
    QLabel* TMyEdit::*label;
    const char* labelName;
    QLineEdit* TMyEdit::*edit;  // a text box, or
    QComboBox* TMyEdit::*combo; // a drop-down box
    const char* boxName;
    int width;
    bool rightColumn = false;
};

const LabelledBox kLabelledBoxes[] = {
    {0, 0, &TMyEdit::TitleLabel, "TitleLabel", &TMyEdit::Title, nullptr, "Title", 472},
    {0, 4, &TMyEdit::YearReleaseLabel, "YearReleaseLabel", &TMyEdit::YearReleased, nullptr, "YearReleased", 60},
    {0, 5, &TMyEdit::ProducerLabel, "ProducerLabel", nullptr, &TMyEdit::Producer, "Producer", 280},
    {0, 6, &TMyEdit::DirectorLabel, "DirectorLabel", nullptr, &TMyEdit::Director, "Director", 280},
    {0, 7, &TMyEdit::WriterLabel, "WriterLabel", &TMyEdit::Writer, nullptr, "Writer", 472},
    {0, 8, &TMyEdit::ReleasedByLabel, "ReleasedByLabel", nullptr, &TMyEdit::ReleasedBy, "ReleasedBy", 280},
    {1, 0, &TMyEdit::CategoryLabel, "CategoryLabel", nullptr, &TMyEdit::Category, "Category", 210},
    {1, 1, &TMyEdit::RatingLabel, "RatingLabel", nullptr, &TMyEdit::Rating, "Rating", 170},
    {1, 2, &TMyEdit::PersRatingLabel, "PersRatingLabel", nullptr, &TMyEdit::PersRating, "PersRating", 170},
    {1, 3, &TMyEdit::KeyWordsLabel, "KeyWordsLabel", &TMyEdit::KeyWords, nullptr, "KeyWords", 472},
    {1, 4, &TMyEdit::DescriptionLabel, "DescriptionLabel", &TMyEdit::Description, nullptr, "Description", 472},
    {1, 5, &TMyEdit::FormatLabel, "FormatLabel", nullptr, &TMyEdit::Format, "Format", 170},
    {1, 5, &TMyEdit::LaserFormatLabel, "LaserFormatLabel", nullptr, &TMyEdit::LaserFormat, "LaserFormat", 164, true},
    {1, 6, &TMyEdit::ContentLabel, "ContentLabel", nullptr, &TMyEdit::Content, "Content", 170},
    {1, 6, &TMyEdit::PictureLabel, "PictureLabel", nullptr, &TMyEdit::Picture, "Picture", 164, true},
    {1, 7, &TMyEdit::SoundLabel, "SoundLabel", nullptr, &TMyEdit::Sound, "Sound", 170},
    {1, 7, &TMyEdit::RecordSpeedLabel, "RecordSpeedLabel", nullptr, &TMyEdit::RecordSpeed, "RecordSpeed", 164, true},
    {2, 0, &TMyEdit::MediaNumLabel, "MediaNumLabel", &TMyEdit::MediaNumber, nullptr, "MediaNumber", 120},
    {2, 1, &TMyEdit::CounterStartLabel, "CounterStartLabel", &TMyEdit::CounterStart, nullptr, "CounterStart", 100},
    {2, 2, &TMyEdit::CounterStopLabel, "CounterStopLabel", &TMyEdit::CounterStop, nullptr, "CounterStop", 100},
    {2, 3, &TMyEdit::PlayTimeLabel, "PlayTimeLabel", &TMyEdit::PlayTime, nullptr, "PlayTime", 60},
    {2, 6, &TMyEdit::CheckDateLabel, "CheckDateLabel", &TMyEdit::CheckDate, nullptr, "CheckDate", 110},
    {2, 7, &TMyEdit::CheckPersonLabel, "CheckPersonLabel", nullptr, &TMyEdit::CheckName, "CheckName", 250},
    {3, 0, &TMyEdit::ListPriceLabel, "ListPriceLabel", &TMyEdit::ListPrice, nullptr, "ListPrice", 120},
    {3, 1, &TMyEdit::PurchPriceLabel, "PurchPriceLabel", &TMyEdit::PurchPrice, nullptr, "PurchPrice", 120},
    {3, 2, &TMyEdit::PurchDateLabel, "PurchDateLabel", &TMyEdit::PurchDate, nullptr, "PurchDate", 110},
    {3, 3, &TMyEdit::WherePurchLabel, "WherePurchLabel", nullptr, &TMyEdit::WherePurch, "WherePurch", 250},
    {3, 4, &TMyEdit::OscarAwardLabel, "OscarAwardLabel", &TMyEdit::OscarAward, nullptr, "OscarAward", 390},
    {3, 5, &TMyEdit::OscarNomLabel, "OscarNomLabel", &TMyEdit::OscarNom, nullptr, "OscarNom", 390},
    {3, 6, &TMyEdit::MiscLabel, "MiscLabel", &TMyEdit::Misc, nullptr, "Misc", 390},
    {3, 7, &TMyEdit::UserDef1Label, "UserDef1Label", &TMyEdit::UserDef1, nullptr, "UserDef1", 300},
    {3, 8, &TMyEdit::UserDef2Label, "UserDef2Label", &TMyEdit::UserDef2, nullptr, "UserDef2", 300},
};

}  // namespace

void TMyEdit::layoutPages() {
    QWidget* pages[4];
    for (int p = 0; p < 4; ++p) pages[p] = MyTabbedNoteBook->widget(p);
    for (const auto& b : kLabelledBoxes) {
        QWidget* page = pages[b.page];
        const int labelLeft = b.rightColumn ? 330 : kLabelLeft;
        const int boxLeft = b.rightColumn ? 440 : kBoxLeft;
        this->*b.label = makeLabel(page, b.labelName, b.row, labelLeft, b.rightColumn ? 106 : kLabelWidth);
        if (b.edit)
            this->*b.edit = makeEdit(page, b.boxName, b.row, b.width, boxLeft);
        else
            this->*b.combo = makeCombo(page, b.boxName, b.row, b.width, boxLeft);
    }

    // The six star boxes share one label, two to a row.
    StarsLabel = makeLabel(pages[0], "StarsLabel", 1);
    QComboBox** stars[6] = {&Star1, &Star2, &Star3, &Star4, &Star5, &Star6};
    for (int i = 0; i < 6; ++i) {
        const QByteArray name = "Star" + QByteArray::number(i + 1);
        *stars[i] = makeCombo(pages[0], name.constData(), 1 + i / 2, 232, kBoxLeft + (i % 2) * 240);
    }
    // The two check boxes (their captions are the fields' display names).
    Viewed = new QCheckBox(pages[2]);
    Viewed->setObjectName(QStringLiteral("Viewed"));
    Viewed->setGeometry(kBoxLeft, rowTop(4), 300, kBoxHeight);
    CheckOut = new QCheckBox(pages[2]);
    CheckOut->setObjectName(QStringLiteral("CheckOut"));
    CheckOut->setGeometry(kBoxLeft, rowTop(5), 300, kBoxHeight);
    connect(CheckOut, &QCheckBox::clicked, this, &TMyEdit::CheckOutClick);

    // The buttons beside the date boxes and the three selection boxes.
    struct SideButton {
        QPushButton* TMyEdit::*button;
        const char* name;
        const char* caption;
        int page;
        int row;
        int left;
        int width;
        void (TMyEdit::*handler)();
    };
    const SideButton sideButtons[] = {
        {&TMyEdit::BlankCheckOut, "BlankCheckOut", "Blan&k Date", 2, 6, 120, 100, &TMyEdit::BlankCheckOutClick},
        {&TMyEdit::BlankPurchDate, "BlankPurchDate", "Blan&k Date", 3, 2, 120, 100, &TMyEdit::BlankPurchDateClick},
        {&TMyEdit::SelectOscarAward, "SelectOscarAward", "Select", 3, 4, 398, 74, &TMyEdit::SelectOscarAwardClick},
        {&TMyEdit::SelectOscarNom, "SelectOscarNom", "Select", 3, 5, 398, 74, &TMyEdit::SelectOscarNomClick},
        {&TMyEdit::SelectMisc, "SelectMisc", "Select", 3, 6, 398, 74, &TMyEdit::SelectMiscClick},
    };
    for (const auto& b : sideButtons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), pages[b.page]);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(kBoxLeft + b.left, rowTop(b.row), b.width, kBoxHeight);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.handler);
        this->*b.button = button;
    }

    // The record's title at the foot of pages 1 to 3.
    WarrantyItem = makeFoot(pages[1], "WarrantyItem");
    LibraryItem = makeFoot(pages[2], "LibraryItem");
    WorthItem = makeFoot(pages[3], "WorthItem");
    WorthItem->move(kLabelLeft, kFootTop + 8);
}

void TMyEdit::buildEnterChain() {
    // Boxes by field, their labels, and the drop-downs of each list.
    for (const auto& b : rv::edit::kEditorBoxes) {
        QWidget* w = findChild<QWidget*>(QString::fromLatin1(b.name.data(), static_cast<int>(b.name.size())));
        boxes_[static_cast<std::size_t>(b.field)] = w;
        if (auto* c = qobject_cast<QComboBox*>(w)) dropDowns_[rv::db::field(b.field).dataList].push_back(c);
    }
    // Each label names the field of the box beside it; the one Stars label that of Star1.
    for (const auto& l : kLabelledBoxes)
        for (const auto& b : rv::edit::kEditorBoxes)
            if (b.name == l.boxName) labels_[static_cast<std::size_t>(b.field)] = this->*l.label;
    labels_[2] = StarsLabel;

    // The Enter chain follows the boxes page by page, as kEditorBoxes lists them.
    for (const auto& b : rv::edit::kEditorBoxes) chain_.push_back({boxes_[static_cast<std::size_t>(b.field)], b.page});

    // The window sees every key press before the focused control, and every box leaving the
    // focus (price boxes are reformatted, the record labels refreshed).
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

// ---- Data lists ---------------------------------------------------------------------------

void TMyEdit::SaveAllLists(const std::filesystem::path& basePath) { lists_.saveAll(basePath); }
void TMyEdit::LoadAllList(const std::filesystem::path& basePath) { lists_.loadAll(basePath, main_.programFolder()); }
void TMyEdit::LoadDefaultList() { lists_.loadDefaults(main_.programFolder()); }
void TMyEdit::SaveDefaultLists() { lists_.saveDefaults(main_.programFolder()); }

void TMyEdit::fillDropDowns(int list) {
    auto it = dropDowns_.find(list);
    if (it == dropDowns_.end()) return;
    QStringList entries;
    for (const auto& e : lists_.list(list)) entries << toQ(e);
    for (QComboBox* c : it->second) {
        const QString text = c->currentText();
        const QSignalBlocker block(c);
        c->clear();
        c->addItems(entries);
        c->setEditText(text);
    }
}

// ---- The boxes as texts ---------------------------------------------------------------------

QWidget* TMyEdit::box(int field) const { return boxes_.at(static_cast<std::size_t>(field)); }

EditorRecord TMyEdit::boxes() const {
    EditorRecord r;
    for (const auto& b : rv::edit::kEditorBoxes) {
        QWidget* w = boxes_[static_cast<std::size_t>(b.field)];
        if (auto* e = qobject_cast<QLineEdit*>(w))
            r[b.field] = fromQ(e->text());
        else if (auto* c = qobject_cast<QComboBox*>(w))
            r[b.field] = fromQ(c->currentText());
        else if (auto* x = qobject_cast<QCheckBox*>(w))
            r.setChecked(b.field, x->isChecked());
    }
    r.setLoadedDate(rv::edit::kCheckDateField, loadedCheckDate_);
    r.setLoadedDate(rv::edit::kPurchDateField, loadedPurchDate_);
    return r;
}

void TMyEdit::setBoxes(const EditorRecord& r) {
    for (const auto& b : rv::edit::kEditorBoxes) {
        QWidget* w = boxes_[static_cast<std::size_t>(b.field)];
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setText(toQ(r[b.field]));
        else if (auto* c = qobject_cast<QComboBox*>(w))
            c->setEditText(toQ(r[b.field]));
        else if (auto* x = qobject_cast<QCheckBox*>(w))
            x->setChecked(r.checked(b.field));  // setChecked does not run the Checked Out rule
    }
    loadedCheckDate_ = r.loadedDate(rv::edit::kCheckDateField);
    loadedPurchDate_ = r.loadedDate(rv::edit::kPurchDateField);
}

EditorMode TMyEdit::mode() const { return main_.editorMode(); }
void TMyEdit::setMode(EditorMode mode) { main_.setEditorMode(mode); }

// ---- Showing --------------------------------------------------------------------------------

void TMyEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyFonts(this, main_.settings());
    RestoreFormDimensions(this, dimensions_, main_.scaleFactor(), main_.screenSize());
    if (y() > 10) move(x(), y() - 10);

    // The date boxes take the separator of the current date format.
    const QChar sep = QLatin1Char(main_.formats().date().separator());
    const QString mask = QStringLiteral("00") + sep + QStringLiteral("00") + sep + QStringLiteral("0000;_");
    for (QLineEdit* e : {CheckDate, PurchDate}) {
        const QString text = e->text();
        e->setInputMask(mask);
        e->setText(text);
    }
    setLabels();
    SetCaptions();
    MyTabbedNoteBook->setCurrentIndex(0);
    SetColors();
    if (mode() == EditorMode::New)
        DoClear();
    else
        LoadInData();
    SaveValues();
    Title->setFocus();
}

void TMyEdit::setLabels() {
    const auto& names = main_.settings().displayNames;
    for (int f = 1; f <= rv::db::kFieldCount; ++f)
        if (QLabel* l = labels_[static_cast<std::size_t>(f)]) l->setText(toQ(names[f]));
    Viewed->setText(toQ(names[rv::edit::kViewedField]));
    CheckOut->setText(toQ(names[rv::edit::kCheckOutField]));
}

void TMyEdit::SetColors() {
    using namespace rv::app;
    const ColorSet& c = main_.settings().colors[EditWindowColors];
    paintBackground(this, c[MainBackground]);
    for (int p = 0; p < MyTabbedNoteBook->count(); ++p) paintBackground(MyTabbedNoteBook->widget(p), c[MainBackground]);
    for (QLabel* l : findChildren<QLabel*>()) paintTextAndBackground(l, c[MinorTitle], c[MainBackground]);
    for (QLabel* l : {WarrantyItem, LibraryItem, WorthItem}) paintTextAndBackground(l, c[MajorTitle], c[MainBackground]);
    for (QLineEdit* e : findChildren<QLineEdit*>())
        if (!qobject_cast<QComboBox*>(e->parentWidget())) paintBox(e, c[EditText], c[EditBackground]);
    for (QComboBox* b : findChildren<QComboBox*>()) paintBox(b, c[ComboText], c[ComboBackground]);
    for (QCheckBox* b : {Viewed, CheckOut}) paintTextAndBackground(b, c[CheckText], c[CheckBackground]);
}

void TMyEdit::SetCaptions() {
    const QString text = toQ(main_.settings().displayNames[1]) + QStringLiteral(": ") + Title->text();
    for (QLabel* l : {WarrantyItem, LibraryItem, WorthItem}) l->setText(text);
}

// ---- Operations -----------------------------------------------------------------------------

void TMyEdit::LoadInData() {
    EditorRecord r = rv::edit::loadRecord(main_.table(), main_.formats());
    setBoxes(r);
    checkOutMemory_.remember(r);
    SetCaptions();
}

void TMyEdit::DoClear() {
    // The remembered check-out, the mode and the snapshot stay as they are.
    setBoxes(rv::edit::clearedRecord());
    SetCaptions();
}

void TMyEdit::SaveValues() {
    snapshot_ = boxes();
    setWindowTitle(toQ(rv::edit::kCaptionEdit));
}

bool TMyEdit::ValuesChanged() const { return rv::edit::valuesChanged(boxes(), snapshot_); }

bool TMyEdit::DoUpdate() {
    // A character the files cannot store is refused before anything is checked or written,
    // rather than stored as something else.
    for (const auto& b : rv::edit::kEditorBoxes) {
        QString text;
        if (auto* e = qobject_cast<QLineEdit*>(box(b.field))) text = e->text();
        else if (auto* c = qobject_cast<QComboBox*>(box(b.field))) text = c->currentText();
        if (!storable(this, text)) {
            MyTabbedNoteBook->setCurrentIndex(b.page);
            box(b.field)->setFocus();
            takeTyping(box(b.field));
            return false;
        }
    }
    const EditorRecord r = boxes();
    EditorMode m = mode();
    rv::edit::UpdateResult result;
    try {
        result = rv::edit::updateRecord(main_.table(), lists_, r, m, main_.formats());
    } catch (const rv::db::DatabaseError& e) {
        prompt().show(this, kProgramTitle, toQ(e.what()), Icon::Error);
        return false;
    }
    if (!result.ok()) {
        prompt().error(this, toQ(result.error->message));
        MyTabbedNoteBook->setCurrentIndex(result.error->page);
        box(result.error->field)->setFocus();
        takeTyping(box(result.error->field));  // also when the box had the focus already
        return false;
    }
    setMode(m);
    // The dates now stored are the ones the boxes stand for.
    const auto& table = main_.table();
    loadedCheckDate_ = rv::edit::LoadedDate{r[rv::edit::kCheckDateField], table.asDate("CheckDate")};
    loadedPurchDate_ = rv::edit::LoadedDate{r[rv::edit::kPurchDateField], table.asDate("PurchDate")};
    return true;
}

void TMyEdit::DoAnUpdate() {
    if (DoUpdate()) SaveValues();
}

void TMyEdit::DoUpdateAndExit() {
    if (DoUpdate()) accept();
}

void TMyEdit::DoExit() {
    if (!main_.browseMode() && ValuesChanged()) {
        prompt().beep(Sound::Question);
        const Message question{toQ(rv::edit::kWarningTitle), toQ(rv::edit::kExitQuestion), Buttons::YesNo, Answer::No,
                               Icon::Question};
        if (prompt().ask(this, question) != Answer::Yes) return;
    }
    reject();
}

void TMyEdit::done(int result) {
    SaveAllLists(main_.basePath());
    QDialog::done(result);
}

bool TMyEdit::askToUpdate(std::string_view question) {
    prompt().beep(Sound::Question);
    const Answer a = prompt().ask(
        this, Message{toQ(rv::edit::kWarningTitle), toQ(question), Buttons::YesNoCancel, Answer::No, Icon::Question});
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes) return DoUpdate();
    return true;
}

void TMyEdit::MenuNewClick() {
    if (ValuesChanged() && !askToUpdate(rv::edit::kNewRecordQuestion)) return;
    DoClear();
    setMode(EditorMode::New);
    SaveValues();
    setWindowTitle(toQ(rv::edit::kCaptionNewRecord));
}

void TMyEdit::MenuCopyRecordClick() {
    if (!main_.browseMode() && ValuesChanged() && !askToUpdate(rv::edit::kCopyRecordQuestion)) return;
    setMode(EditorMode::New);
    SaveValues();
    setWindowTitle(toQ(rv::edit::kCaptionCopiedRecord));
}

void TMyEdit::moveRecord(bool forward) {
    if (!main_.browseMode()) {
        if (mode() != EditorMode::Edit) {
            if (!askToUpdate(forward ? rv::edit::kNextNotUpdatedQuestion : rv::edit::kPreviousNotUpdatedQuestion)) return;
        } else if (ValuesChanged()) {
            if (!askToUpdate(forward ? rv::edit::kNextChangedQuestion : rv::edit::kPreviousChangedQuestion)) return;
        }
    }
    try {
        if (forward)
            main_.table().next();
        else
            main_.table().prior();
    } catch (const rv::db::DatabaseError& e) {
        prompt().show(this, kProgramTitle, toQ(e.what()), Icon::Error);
        return;
    }
    LoadInData();
    SaveValues();
    setMode(EditorMode::Edit);
}

void TMyEdit::DoPreviousRecord() { moveRecord(false); }
void TMyEdit::DoNextRecord() { moveRecord(true); }

// ---- Boxes ----------------------------------------------------------------------------------

void TMyEdit::CheckOutClick() {
    EditorRecord r = boxes();
    checkOutMemory_.toggled(r, CheckOut->isChecked());
    CheckDate->setText(toQ(r[rv::edit::kCheckDateField]));
    CheckName->setEditText(toQ(r[rv::edit::kCheckNameField]));
}

void TMyEdit::BlankCheckOutClick() { CheckDate->clear(); }
void TMyEdit::BlankPurchDateClick() { PurchDate->clear(); }

void TMyEdit::ListPriceExit() { ListPrice->setText(toQ(rv::edit::reformatPrice(fromQ(ListPrice->text()), main_.formats()))); }
void TMyEdit::PurchPriceExit() { PurchPrice->setText(toQ(rv::edit::reformatPrice(fromQ(PurchPrice->text()), main_.formats()))); }
void TMyEdit::TitleExit() { SetCaptions(); }

void TMyEdit::selectOscar(rv::lists::SelectionKind kind, QLineEdit* target) {
    TMyOscarAward window(main_, kind, fromQ(target->text()), this);
    if (window.exec() == QDialog::Accepted) target->setText(toQ(window.joinedText()));
}

void TMyEdit::SelectOscarAwardClick() { selectOscar(rv::lists::SelectionKind::OscarAwards, OscarAward); }
void TMyEdit::SelectOscarNomClick() { selectOscar(rv::lists::SelectionKind::OscarNominations, OscarNom); }
void TMyEdit::SelectMiscClick() { selectOscar(rv::lists::SelectionKind::Miscellaneous, Misc); }

void TMyEdit::clipboard(ClipboardOp op) {
    // The focused text box, or the edit of the focused drop-down box.
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !isAncestorOf(focused)) return;
    QLineEdit* e = textBoxOf(focused);
    if (!e && qobject_cast<QComboBox*>(focused->parentWidget())) e = textBoxOf(focused->parentWidget());
    if (!e || e->isReadOnly()) return;
    switch (op) {
        case ClipboardOp::Cut: e->cut(); break;
        case ClipboardOp::Copy: e->copy(); break;
        case ClipboardOp::Paste: e->paste(); break;
        case ClipboardOp::Delete:
            if (e->hasSelectedText()) e->del();  // Delete removes the selection without copying it
            break;
    }
}

void TMyEdit::setPrintHandler(std::function<void(const EditorRecord&)> handler) {
    printHandler_ = std::move(handler);
    MenuPrintRecord->setEnabled(static_cast<bool>(printHandler_));
}

void TMyEdit::setHelpHandler(std::function<void(const QString&)> handler) {
    helpHandler_ = std::move(handler);
    MenuHelp->setEnabled(static_cast<bool>(helpHandler_));
}

void TMyEdit::MenuPrintRecordClick() {
    if (printHandler_) printHandler_(boxes());
}

void TMyEdit::MenuHelpClick() {
    if (helpHandler_) helpHandler_(toQ(rv::edit::kHelpKeyword));
}

// ---- Keys and focus -------------------------------------------------------------------------

void TMyEdit::enterPressed(QObject* watched) {
    // A combo box's own line edit stands for the combo box.
    QWidget* w = qobject_cast<QWidget*>(watched);
    if (w && qobject_cast<QComboBox*>(w->parentWidget())) w = w->parentWidget();
    for (std::size_t i = 0; i < chain_.size(); ++i) {
        if (chain_[i].box != w) continue;
        const ChainStep& next = chain_[(i + 1) % chain_.size()];
        MyTabbedNoteBook->setCurrentIndex(next.page);
        next.box->setFocus();
        return;
    }
}

bool TMyEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            enterPressed(watched);
            return true;  // Enter never reaches a box or a button
        }
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            DoExit();  // as Exit: the question when data has changed
            return true;
        }
    } else if (event->type() == QEvent::ShortcutOverride) {
        // The boxes would keep Ctrl+E, Ctrl+D and the like for their own editing; the
        // window's menu shortcuts come first (Cut, Copy and Paste do the same either way).
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction* a : actions())
            if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == pressed && a != MenuCut &&
                a != MenuCopy && a != MenuPaste)
                return true;
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == ListPrice)
            ListPriceExit();
        else if (watched == PurchPrice)
            PurchPriceExit();
        else if (watched == Title || watched == YearReleased || watched == Writer || watched == KeyWords ||
                 watched == Description || watched == OscarAward || watched == OscarNom || watched == Misc ||
                 watched == UserDef1 || watched == UserDef2)
            TitleExit();
    }
    return QDialog::eventFilter(watched, event);
}

// ---- The main window's commands ---------------------------------------------------------------

TMyEdit* recordEditor(MainHost& main) { return main.widget()->findChild<TMyEdit*>(QStringLiteral("TMyEdit"), Qt::FindDirectChildrenOnly); }

namespace {

void showEditor(MainHost& main, EditorMode mode) {
    TMyEdit* editor = recordEditor(main);
    if (!editor) return;
    main.setEditorMode(mode);
    editor->exec();
    main.DisplayCount();
}

}  // namespace

void DoAdd(MainHost& main) { showEditor(main, EditorMode::New); }
void DoEdit(MainHost& main) { showEditor(main, EditorMode::Edit); }
void DoCopy(MainHost& main) { showEditor(main, EditorMode::Copy); }

void DoDelete(MainHost& main) {
    const Message question{toQ(rv::edit::kConfirmTitle), toQ(rv::edit::kDeleteRecordQuestion), Buttons::YesNo,
                           Answer::Yes, Icon::None};
    const bool yes = prompt().ask(main.widget(), question) == Answer::Yes;
    // The count is shown afresh even when the table refuses the deletion.
    struct Recount {
        MainHost& main;
        ~Recount() { main.DisplayCount(); }
    } recount{main};
    if (yes) main.table().deleteRecord();
}

TMyEdit* installRecordEditor(MainHost& main) {
    if (TMyEdit* existing = recordEditor(main)) return existing;
    auto* editor = new TMyEdit(main);
    main.setDataLists(editor);
    main.provideCommand(QStringLiteral("MenuAdd"), [&main] { DoAdd(main); });
    main.provideCommand(QStringLiteral("MenuEdit"), [&main] { DoEdit(main); });
    main.provideCommand(QStringLiteral("MenuCopy"), [&main] { DoCopy(main); });
    main.provideCommand(QStringLiteral("MenuDelete"), [&main] { DoDelete(main); });
    installListCommands(main, *editor);
    return editor;
}

}  // namespace rv::gui
