#include "gui/browse/TSearchOptions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/Settings.h"
#include "gui/common/Colors.h"

namespace rv::gui {

TSearchOptions::TSearchOptions(const QString& fieldName, const QStringList& entries, int selected,
                               const rv::app::Settings& settings, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TSearchOptions"));
    setWindowTitle(QStringLiteral("Search Options"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    FieldNameLabel = new QLabel(fieldName);
    FieldNameLabel->setObjectName(QStringLiteral("FieldNameLabel"));
    ListBox1 = new QListWidget;
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->addItems(entries);
    ListBox1->setMinimumSize(260, 160);
    if (selected >= 0 && selected < ListBox1->count()) ListBox1->setCurrentRow(selected);
    OkButton = new QPushButton(QStringLiteral("&Ok"));
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    OkButton->setAutoDefault(true);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { OkButtonClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FieldNameLabel);
    layout->addWidget(ListBox1);
    layout->addLayout(buttons);
    SetColors(settings);
}

QStringList TSearchOptions::comparisonEntries() {
    return {QStringLiteral(" = "), QStringLiteral(" > "), QStringLiteral(" < "), QStringLiteral(" > X < ")};
}

void TSearchOptions::OkButtonClick() {
    chosen_ = ListBox1->currentItem() && ListBox1->currentItem()->isSelected() ? ListBox1->currentRow() : -1;
    accept();
}

void TSearchOptions::SetColors(const rv::app::Settings& settings) {
    const rv::app::ColorSet& c = settings.colors[rv::app::SearchWindowColors];
    paintBackground(this, c[rv::app::MainBackground]);
    paintText(FieldNameLabel, c[rv::app::MajorTitle]);
    paintBox(ListBox1, c[rv::app::ListBoxText], c[rv::app::ListBoxBackground]);
}

}  // namespace rv::gui
