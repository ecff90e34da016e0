#include "gui/app/TColorConfig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <tuple>

#include "gui/app/TMain.h"
#include "gui/common/Colors.h"
#include "gui/common/Prompt.h"

namespace rv::gui {

namespace {

QFrame* sampleFrame(QWidget* parent, int left, int top) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Raised);
    f->setGeometry(left, top, 196, 150);
    return f;
}

QLabel* titleLabel(QFrame* frame, const char* name, const char* text) {
    auto* l = new QLabel(QString::fromLatin1(text), frame);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setGeometry(4, 6, 188, 22);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, int left, int top, int width) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, top, width, 28);
    return b;
}

}  // namespace

TColorConfig::TColorConfig(TMain& main, rv::app::ColorWindow code, QWidget* parent)
    : QDialog(parent ? parent : &main), main_(main), code_(code) {
    setObjectName(QStringLiteral("TColorConfig"));
    setWindowTitle(QStringLiteral("Color Configuration"));
    setFixedSize(618, 415);
    const int set = rv::app::colorSetOf(code);
    working_ = main.settings().colors[static_cast<std::size_t>(set)];

    constexpr int kCol[3] = {8, 211, 414};
    constexpr int kRow[2] = {8, 166};

    QFrame* window = sampleFrame(this, kCol[0], kRow[0]);
    Label1 = titleLabel(window, "Label1", "Window");
    MainBack = button(window, "MainBack", "Background", 38, 38, 120);
    MajorTitles = button(window, "MajorTitles", "Major Titles", 38, 72, 120);
    MinorTitles = button(window, "MinorTitles", "Minor Titles", 38, 106, 120);

    // The five samples of a box or button: a frame with its title, the sample control and
    // the Text and Background buttons.
    struct Sample {
        QFrame* frame;
        QLabel* title;
        QPushButton* text;
        QPushButton* back;
    };
    auto sample = [this](int left, int top, const char* labelName, const char* title, const char* textName,
                         const char* backName) {
        QFrame* f = sampleFrame(this, left, top);
        return Sample{f, titleLabel(f, labelName, title), button(f, textName, "Text", 18, 106, 76),
                      button(f, backName, "Background", 102, 106, 76)};
    };
    auto place = [](QWidget* control, const char* name, QRect geometry) {
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(geometry);
    };

    Sample edit = sample(kCol[1], kRow[0], "Label6", "Edit Box", "EditBoxText", "EditBoxBack");
    std::tie(Label6, EditBoxText, EditBoxBack) = std::tie(edit.title, edit.text, edit.back);
    EditBox = new QLineEdit(QStringLiteral("Sample Text"), edit.frame);
    place(EditBox, "EditBox", QRect(18, 44, 160, 24));

    Sample combo = sample(kCol[2], kRow[0], "Label7", "Combo Box", "ComboText", "ComboBack");
    std::tie(Label7, ComboText, ComboBack) = std::tie(combo.title, combo.text, combo.back);
    ComboBox = new QComboBox(combo.frame);
    ComboBox->setEditable(true);
    ComboBox->setEditText(QStringLiteral("ComboBox"));
    place(ComboBox, "ComboBox", QRect(18, 44, 160, 24));

    Sample radio = sample(kCol[0], kRow[1], "Label4", "Radio Button", "RadioText", "RadioBack");
    std::tie(Label4, RadioText, RadioBack) = std::tie(radio.title, radio.text, radio.back);
    RadioButton = new QRadioButton(QStringLiteral("Radio Button"), radio.frame);
    RadioButton->setChecked(true);
    place(RadioButton, "RadioButton", QRect(38, 44, 120, 24));

    Sample check = sample(kCol[1], kRow[1], "Label5", "Check Box", "CheckText", "CheckBack");
    std::tie(Label5, CheckText, CheckBack) = std::tie(check.title, check.text, check.back);
    CheckBox = new QCheckBox(QStringLiteral("Check Box"), check.frame);
    CheckBox->setChecked(true);
    place(CheckBox, "CheckBox", QRect(38, 44, 120, 24));

    Sample list = sample(kCol[2], kRow[1], "Label2", "List Box", "ListText", "ListBack");
    std::tie(Label2, ListText, ListBack) = std::tie(list.title, list.text, list.back);
    ListBox = new QListWidget(list.frame);
    ListBox->addItems({QStringLiteral("Sample Text"), QStringLiteral("Sample Text")});
    place(ListBox, "ListBox", QRect(18, 34, 160, 62));

    Label3 = new QLabel(QStringLiteral("Predefined Color Combinations"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    Label3->setGeometry(kCol[0], 332, 300, 20);
    ColorSets = new QComboBox(this);
    ColorSets->setObjectName(QStringLiteral("ColorSets"));
    ColorSets->addItem(QString());
    for (const auto& scheme : kColorSchemes)
        ColorSets->addItem(QString::fromLatin1(scheme.name.data(), static_cast<qsizetype>(scheme.name.size())));
    ColorSets->setMaxVisibleItems(13);
    ColorSets->setGeometry(kCol[0], 356, 300, 26);

    Ok = button(this, "Ok", "&Ok", kCol[2], 354, 92);
    Cancel = button(this, "Cancel", "&Cancel", kCol[2] + 104, 354, 92);
    Ok->setDefault(true);

    using namespace rv::app;
    const std::pair<QPushButton*, ColorKey> colorButtons[] = {
        {MainBack, MainBackground}, {MajorTitles, MajorTitle},   {MinorTitles, MinorTitle},
        {EditBoxText, EditText},    {EditBoxBack, EditBackground}, {ComboText, rv::app::ComboText},
        {ComboBack, ComboBackground}, {RadioText, rv::app::RadioText}, {RadioBack, RadioBackground},
        {CheckText, rv::app::CheckText}, {CheckBack, CheckBackground}, {ListText, ListBoxText},
        {ListBack, ListBoxBackground},
    };
    for (const auto& [b, key] : colorButtons)
        connect(b, &QPushButton::clicked, this, [this, key = key] { pickColor(key); });
    connect(ColorSets, &QComboBox::activated, this, &TColorConfig::ColorSetsChange);
    connect(Ok, &QPushButton::clicked, this, &TColorConfig::OkClick);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TColorConfig::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    main_.PlaceDialog(this);
    if (y() > 10) move(x(), y() - 10);
    paintSamples();
}

void TColorConfig::paintSamples() {
    using namespace rv::app;
    const ColorSet& c = working_;
    paintBackground(this, c[MainBackground]);
    for (QLabel* l : {Label1, Label2, Label4, Label5, Label6, Label7}) paintText(l, c[MajorTitle]);
    paintText(Label3, c[MinorTitle]);
    paintBox(EditBox, c[EditText], c[EditBackground]);
    paintBox(ComboBox, c[rv::app::ComboText], c[ComboBackground]);
    paintBox(ColorSets, c[rv::app::ComboText], c[ComboBackground]);
    paintTextAndBackground(RadioButton, c[rv::app::RadioText], c[RadioBackground]);
    paintTextAndBackground(CheckBox, c[rv::app::CheckText], c[CheckBackground]);
    paintBox(ListBox, c[ListBoxText], c[ListBoxBackground]);
}

void TColorConfig::pickColor(rv::app::ColorKey key) {
    const auto chosen = prompt().chooseColor(this, toQColor(working_[key]));
    if (!chosen) return;
    working_[key] = toWinColor(*chosen);
    paintSamples();
}

void TColorConfig::ColorSetsChange(int index) {
    if (index < 1) return;
    applyScheme(working_, index);
    paintSamples();
}

void TColorConfig::OkClick() {
    main_.AcceptColors(code_, working_);
    accept();
}

}  // namespace rv::gui
