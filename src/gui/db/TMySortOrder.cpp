#include "gui/db/TMySortOrder.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "core/db/FieldCatalog.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "gui/common/MainHost.h"
#include "gui/common/Colors.h"
#include "gui/common/Prompt.h"
#include "gui/common/ShowOutcome.h"
#include "gui/common/Text.h"

namespace rv::gui {

namespace {

const char* const kLevelNames[4] = {"Primary Sort", "Secondary Sort", "Third Level Sort", "Fourth Level Sort"};

}  // namespace

TMySortOrder::TMySortOrder(MainHost& main, QWidget* parent) : QDialog(parent ? parent : main.widget()), main_(main) {
    setObjectName(QStringLiteral("TMySortOrder"));
    setWindowTitle(QStringLiteral("Sort Order"));
    setFixedSize(255, 380);
    const auto& settings = main.settings();
    for (int i = 0; i < 4; ++i) {
        auto* frame = new QFrame(this);
        frame->setFrameShape(QFrame::Panel);
        frame->setFrameShadow(QFrame::Raised);
        frame->setGeometry(8, 8 + i * 78, 239, 72);
        auto* label = new QLabel(QString::fromLatin1(kLevelNames[i]), frame);
        label->setObjectName(QStringLiteral("LabelSort%1").arg(i + 1));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(8, 8, 223, 20);
        auto* combo = new QComboBox(frame);
        combo->setObjectName(QStringLiteral("ComboBox%1").arg(i + 1));
        combo->addItem(QStringLiteral("<NONE>"));
        for (int f = 1; f <= rv::db::kFieldCount; ++f) combo->addItem(toQ(settings.displayNames[f]));
        combo->setMaxVisibleItems(16);
        combo->setGeometry(16, 34, 207, 26);
        LabelSort[static_cast<std::size_t>(i)] = label;
        ComboBox[static_cast<std::size_t>(i)] = combo;
    }
    OkButton = new QPushButton(QStringLiteral("&Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setGeometry(24, 336, 96, 32);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(135, 336, 96, 32);
    connect(OkButton, &QPushButton::clicked, this, &TMySortOrder::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Each list shows its level; a stored value that names no field shows as "<NONE>".
    for (int i = 0; i < 4; ++i) {
        const int level = settings.sortLevels[static_cast<std::size_t>(i)];
        ComboBox[static_cast<std::size_t>(i)]->setCurrentIndex(level >= 0 && level <= rv::db::kFieldCount ? level : 0);
    }
}

void TMySortOrder::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    main_.PlaceDialog(this);
    SetColors();
}

void TMySortOrder::SetColors() {
    using namespace rv::app;
    const ColorSet& c = main_.settings().colors[ConfigureWindowColors];
    paintBackground(this, c[MainBackground]);
    for (QLabel* l : LabelSort) paintTextAndBackground(l, c[MinorTitle], c[MainBackground]);
}

rv::db::SortLevels TMySortOrder::selectedLevels() const {
    rv::db::SortLevels levels{};
    for (std::size_t i = 0; i < 4; ++i) levels[i] = std::max(0, ComboBox[i]->currentIndex());
    return levels;
}

void TMySortOrder::OkButtonClick() {
    const auto levels = selectedLevels();
    const auto result = main_.session().changeSortOrder({levels[0], levels[1], levels[2], levels[3]});
    // The table is open shared again whatever happened: the viewer shows it afresh.
    main_.SetViewerOptions();
    showOutcome(this, result.exclusive.outcome);
    if (!result.exclusive.done()) return;  // the window stays open with the levels chosen
    main_.DisplayCount();
    accept();
}

}  // namespace rv::gui
