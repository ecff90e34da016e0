#include "gui/app/Navigator.h"

#include <QToolButton>

#include "gui/app/MainIcons.h"

namespace rv::gui {

namespace {

struct ButtonDef {
    const char* name;
    const char* hint;
    MainIcon icon;
};

constexpr ButtonDef kButtons[TNavigator::kButtonCount] = {
    {"NavFirst", "First record", MainIcon::NavFirst},
    {"NavPrior", "Prior record", MainIcon::NavPrior},
    {"NavNext", "Next record", MainIcon::NavNext},
    {"NavLast", "Last record", MainIcon::NavLast},
    {"NavInsert", "Insert record", MainIcon::NavInsert},
    {"NavDelete", "Delete record", MainIcon::NavDelete},
    {"NavEdit", "Edit record", MainIcon::NavEdit},
    {"NavPost", "Post edit", MainIcon::NavPost},
    {"NavCancel", "Cancel edit", MainIcon::NavCancel},
    {"NavRefresh", "Refresh data", MainIcon::NavRefresh},
};

}  // namespace

TNavigator::TNavigator(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MyNavigator"));
    for (int i = 0; i < kButtonCount; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(kButtons[i].name));
        b->setToolTip(QString::fromLatin1(kButtons[i].hint));
        b->setIcon(mainIcon(kButtons[i].icon));
        b->setIconSize(QSize(16, 16));
        b->setFocusPolicy(Qt::NoFocus);
        const auto which = static_cast<Button>(i);
        connect(b, &QToolButton::clicked, this, [this, which] { emit clicked(which); });
        buttons_[static_cast<std::size_t>(i)] = b;
    }
    layoutButtons();
}

void TNavigator::setMovingOnly(bool movingOnly) {
    movingOnly_ = movingOnly;
    for (int i = Insert; i < kButtonCount; ++i) buttons_[static_cast<std::size_t>(i)]->setVisible(!movingOnly);
    layoutButtons();
}

void TNavigator::resizeEvent(QResizeEvent*) { layoutButtons(); }

// The shown buttons share the width equally; the remainder goes to the first ones.
void TNavigator::layoutButtons() {
    const int count = movingOnly_ ? 4 : kButtonCount;
    const int w = width() / count;
    int extra = width() - w * count;
    int x = 0;
    for (int i = 0; i < count; ++i) {
        const int bw = w + (extra > 0 ? 1 : 0);
        if (extra > 0) --extra;
        buttons_[static_cast<std::size_t>(i)]->setGeometry(x, 0, bw, height());
        x += bw;
    }
}

}  // namespace rv::gui
