#include "gui/browse/TMyLocateDlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/app/Settings.h"
#include "gui/common/Colors.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

using rv::browse::LocateMatch;

namespace {

void information(QWidget* parent, const char* text) {
    prompt().show(parent, QStringLiteral("Information"), QString::fromLatin1(text), Icon::Information);
}

// The hourglass for the length of a scope.
struct Hourglass {
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

// ---- The component --------------------------------------------------------------------------

TMyLocateDialog::TMyLocateDialog(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("MyLocateDialog")); }

void TMyLocateDialog::setDataSource(rv::db::Table* table, const rv::app::Settings* settings) {
    table_ = table;
    settings_ = settings;
}

bool TMyLocateDialog::tableActive() const { return table_ && table_->isOpen(); }

bool TMyLocateDialog::Execute(QWidget* parent) {
    if (!tableActive()) {
        prompt().error(parent, QString::fromLatin1(rv::browse::kNoActiveDataSet));
        return false;
    }
    const rv::app::Settings defaults;
    auto fields = rv::browse::locateFields(*table_, settings_ ? *settings_ : defaults, props_.fieldSelection,
                                           props_.sortFields);
    TMyLocateDlg window(*this, std::move(fields), parent);
    dialog_ = &window;
    const int result = window.exec();
    dialog_ = nullptr;
    return result == QDialog::Accepted;
}

bool TMyLocateDialog::FindNext(QWidget* parent) {
    if (!tableActive()) {
        prompt().warning(parent, QString::fromLatin1(rv::browse::kNoActiveTable));
        return false;
    }
    if (props_.value.empty()) {
        props_.defaultButton = rv::browse::LocateDefaultButton::Next;
        return Execute(parent);
    }
    return locate(parent, props_.searchField, props_.value, props_.matchType, props_.caseSensitive, false,
                  props_.showMessages);
}

bool TMyLocateDialog::locate(QWidget* parent, const std::string& field, const std::string& value, LocateMatch match,
                             bool caseSensitive, bool fromFirst, bool showNotFound) {
    rv::browse::LocateResult result;
    {
        Hourglass hourglass;
        result = rv::browse::locate(*table_, field, value, match, caseSensitive, fromFirst);
    }
    switch (result) {
        case rv::browse::LocateResult::Found: return true;
        case rv::browse::LocateResult::NoSuchField:
            if (!field.empty()) {
                prompt().warning(parent, toQ(rv::browse::fieldNotFoundMessage(field)));
                return false;
            }
            break;  // no field chosen: nothing found
        case rv::browse::LocateResult::NotFound: break;
    }
    if (showNotFound)
        information(parent, fromFirst ? rv::browse::kNoMatchesFound : rv::browse::kNoMoreMatchesFound);
    return false;
}

// ---- The dialog -----------------------------------------------------------------------------

TMyLocateDlg::TMyLocateDlg(TMyLocateDialog& owner, std::vector<rv::browse::LocateField> fields, QWidget* parent)
    : QDialog(parent), owner_(owner), fields_(std::move(fields)) {
    const rv::browse::LocateSettings& p = owner_.properties();
    setObjectName(QStringLiteral("TMyLocateDlg"));
    setWindowTitle(toQ(p.caption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    FieldGroup = new QGroupBox(QStringLiteral("&Field To Search On"));
    FieldNameComboBox = new QComboBox;
    FieldNameComboBox->setObjectName(QStringLiteral("FieldNameComboBox"));
    for (const auto& f : fields_) FieldNameComboBox->addItem(toQ(f.label));
    FieldNameComboBox->setMaxVisibleItems(12);
    FieldGroup->setFocusProxy(FieldNameComboBox);
    (new QVBoxLayout(FieldGroup))->addWidget(FieldNameComboBox);

    TypeGroup = new QGroupBox(QStringLiteral("&Search Type"));
    CaseSensitiveCheckBox = new QCheckBox(QStringLiteral("&Case-sensitive"));
    CaseSensitiveCheckBox->setObjectName(QStringLiteral("CaseSensitiveCheckBox"));
    ExactMatchBtn = new QRadioButton(QStringLiteral("&Exact Match"));
    ExactMatchBtn->setObjectName(QStringLiteral("ExactMatchBtn"));
    PartialMatchStartBtn = new QRadioButton(QStringLiteral("&Partial Match at Beginning"));
    PartialMatchStartBtn->setObjectName(QStringLiteral("PartialMatchStartBtn"));
    PartialMatchAnyBtn = new QRadioButton(QStringLiteral("Partial Match &Anywhere"));
    PartialMatchAnyBtn->setObjectName(QStringLiteral("PartialMatchAnyBtn"));
    auto* type = new QVBoxLayout(TypeGroup);
    for (QWidget* w : std::initializer_list<QWidget*>{CaseSensitiveCheckBox, ExactMatchBtn, PartialMatchStartBtn,
                                                      PartialMatchAnyBtn})
        type->addWidget(w);

    ValueGroup = new QGroupBox(QStringLiteral("Search &Value"));
    SearchValue = new QLineEdit;
    SearchValue->setObjectName(QStringLiteral("SearchValue"));
    SearchValue->setMaxLength(rv::browse::kMaxLocateValue);
    ValueGroup->setFocusProxy(SearchValue);
    (new QVBoxLayout(ValueGroup))->addWidget(SearchValue);

    FirstButton = new QPushButton(QStringLiteral("Fi&rst"));
    FirstButton->setObjectName(QStringLiteral("FirstButton"));
    NextButton = new QPushButton(QStringLiteral("&Next"));
    NextButton->setObjectName(QStringLiteral("NextButton"));
    BitBtn1 = new QPushButton(QStringLiteral("Cancel"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    for (QPushButton* b : {FirstButton, NextButton, BitBtn1}) b->setAutoDefault(false);
    connect(FirstButton, &QPushButton::clicked, this, [this] { FindFirst(); });
    connect(NextButton, &QPushButton::clicked, this, [this] { FindNextBtnClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {FirstButton, NextButton, BitBtn1}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FieldGroup);
    layout->addWidget(TypeGroup);
    layout->addWidget(ValueGroup);
    layout->addLayout(buttons);

    defaultButton_ = p.defaultButton == rv::browse::LocateDefaultButton::First ? FirstButton : NextButton;
    setDefaultButton(defaultButton_);

    // The remembered field and value, the case setting and the match type.
    const QString label = toQ(rv::browse::labelForField(fields_, p.searchField));
    FieldNameComboBox->setCurrentIndex(label.isEmpty() ? -1 : FieldNameComboBox->findText(label, Qt::MatchExactly));
    if (FieldNameComboBox->currentIndex() >= 0) SearchValue->setText(toQ(p.value));
    CaseSensitiveCheckBox->setChecked(p.caseSensitive);
    (p.matchType == LocateMatch::Exact   ? ExactMatchBtn
     : p.matchType == LocateMatch::Start ? PartialMatchStartBtn
                                         : PartialMatchAnyBtn)
        ->setChecked(true);

    // Another field empties the value; the focus moves to it unless the list is dropped down.
    connect(FieldNameComboBox, &QComboBox::currentIndexChanged, this, [this] {
        SearchValue->clear();
        if (!FieldNameComboBox->view()->isVisible()) SearchValue->setFocus();
    });
    connect(FieldNameComboBox, &QComboBox::activated, this, [this] { SearchValue->setFocus(); });
    FieldNameComboBox->installEventFilter(this);
    SetColors();
}

void TMyLocateDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    adjustSize();
    if (owner_.place_) owner_.place_(this);
}

void TMyLocateDlg::setDefaultButton(QPushButton* button) {
    for (QPushButton* b : {FirstButton, NextButton}) b->setDefault(b == button);
}

bool TMyLocateDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FieldNameComboBox) {
        // While the field list has the focus Enter does not start a locate.
        if (event->type() == QEvent::FocusIn) {
            setDefaultButton(defaultButton_ == NextButton ? nullptr : defaultButton_);
        } else if (event->type() == QEvent::FocusOut) {
            setDefaultButton(defaultButton_);
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                SearchValue->setFocus();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

LocateMatch TMyLocateDlg::matchType() const {
    if (ExactMatchBtn->isChecked()) return LocateMatch::Exact;
    if (PartialMatchAnyBtn->isChecked()) return LocateMatch::Anywhere;
    return LocateMatch::Start;
}

std::string TMyLocateDlg::chosenField() const {
    return rv::browse::fieldForLabel(fields_, fromQ(FieldNameComboBox->currentText()));
}

void TMyLocateDlg::find(bool fromFirst) {
    auto value = storable(this, SearchValue->text());
    if (!value) {
        SearchValue->setFocus();
        return;
    }
    if (owner_.locate(this, chosenField(), *value, matchType(), CaseSensitiveCheckBox->isChecked(), fromFirst, true))
        accept();
}

void TMyLocateDlg::FindFirst() { find(true); }
void TMyLocateDlg::FindNextBtnClick() { find(false); }

void TMyLocateDlg::done(int result) {
    // However the dialog closes, the component keeps what it shows.
    rv::browse::LocateSettings& p = owner_.properties();
    p.matchType = matchType();
    p.caseSensitive = CaseSensitiveCheckBox->isChecked();
    p.value = fromQ(SearchValue->text());
    p.searchField = chosenField();
    QDialog::done(result);
}

void TMyLocateDlg::SetColors() {
    if (!owner_.settings_) return;
    const rv::app::ColorSet& c = owner_.settings_->colors[rv::app::ConfigureWindowColors];
    paintBackground(this, c[rv::app::MainBackground]);
    for (QGroupBox* g : {FieldGroup, TypeGroup, ValueGroup}) paintText(g, c[rv::app::MinorTitle]);
    paintTextAndBackground(CaseSensitiveCheckBox, c[rv::app::CheckText], c[rv::app::CheckBackground]);
    for (QRadioButton* r : {ExactMatchBtn, PartialMatchStartBtn, PartialMatchAnyBtn})
        paintTextAndBackground(r, c[rv::app::RadioText], c[rv::app::RadioBackground]);
    paintBox(FieldNameComboBox, c[rv::app::ComboText], c[rv::app::ComboBackground]);
    paintBox(SearchValue, c[rv::app::EditText], c[rv::app::EditBackground]);
}

}  // namespace rv::gui
