#include "gui/reports/TReportForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "core/app/Cp1252.h"
#include "core/reports/ReportStore.h"
#include "gui/common/Placement.h"
#include "gui/common/Prompt.h"

namespace rv::gui {

TReportForm::TReportForm(QWidget* parent, const rv::reports::ReportDefinition& def, rv::reports::ReportSource source,
                         rv::reports::PageEngine& engine, const rv::app::Settings* settings, double factor)
    : QDialog(parent),
      renderer_(std::make_unique<rv::reports::ReportRenderer>(def, std::move(source), engine)),
      settings_(settings),
      factor_(factor) {
    setObjectName(QStringLiteral("TReportForm"));
    setWindowTitle(QStringLiteral("Report Status Screen"));
    setModal(true);
    resize(300, 160);
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Printing Status"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold(QStringLiteral("Arial"));
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumHeight(70);
    layout->addWidget(Label1);
    BitBtn1 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    layout->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    connect(BitBtn1, &QPushButton::clicked, this, &TReportForm::BitBtn1Click);
}

TReportForm::~TReportForm() {
    if (running_) renderer_->cancel();
}

void TReportForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    if (settings_) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        placeDialog(this, *settings_, factor_, screen ? screen->size() : QSize(1024, 768));
    }
    QTimer::singleShot(0, this, &TReportForm::FormActivate);
}

void TReportForm::FormActivate() {
    running_ = true;
    try {
        renderer_->start();
    } catch (const std::exception& e) {
        fail(QString::fromStdString(rv::app::cp1252ToUtf8(e.what())));
        return;
    }
    QTimer::singleShot(0, this, &TReportForm::step);
}

void TReportForm::step() {
    if (!running_) return;
    Label1->setText(QStringLiteral("Printing Page %1\n\n").arg(renderer_->pagesDone() + 1));
    try {
        const bool more = renderer_->nextPage();
        pages_ = renderer_->pagesDone();
        if (more) {
            QTimer::singleShot(0, this, &TReportForm::step);
            return;
        }
        renderer_->finish();
    } catch (const std::exception& e) {
        fail(QString::fromStdString(rv::app::cp1252ToUtf8(e.what())));
        return;
    }
    ended(false);
}

void TReportForm::fail(const QString& message) {
    renderer_->cancel();
    running_ = false;
    ended(true);
    prompt().beep(Sound::Error);
    prompt().error(this, message);
}

void TReportForm::ended(bool cancelled) {
    running_ = false;
    cancelled_ = cancelled;
    completed_ = !cancelled;
    BitBtn1->setText(QStringLiteral("OK"));
    Label1->setText(cancelled ? QStringLiteral("\nReport Canceled!") : QStringLiteral("\nReport Completed!"));
}

void TReportForm::BitBtn1Click() {
    if (running_) {
        renderer_->cancel();
        ended(true);
        return;
    }
    if (!completed_) cancelled_ = true;
    accept();
}

void TReportForm::reject() {
    if (running_) {
        BitBtn1Click();
        return;
    }
    if (!completed_) cancelled_ = true;
    QDialog::reject();
}

}  // namespace rv::gui
