#pragma once
// TReportForm, "Report Status Screen": runs one report on a page engine while showing
// "Printing Page n", with a Cancel button that turns into OK when the run is over
// ("Report Canceled!" / "Report Completed!").  The run starts when the window is shown and
// goes one page per turn of the event loop, so the window stays responsive and Cancel works
// while a long report is made.

#include <QDialog>

#include <memory>

#include "core/reports/ReportRenderer.h"

class QLabel;
class QPushButton;

namespace rv::app {
struct Settings;
}

namespace rv::gui {

class TReportForm : public QDialog {
    Q_OBJECT
public:
    // The engine (text file, PDF, printer or page store) is the caller's and outlives the
    // window; so do the table and formats the source points at.  With settings the window is
    // placed like every dialog (fonts, screen factor, centred).
    TReportForm(QWidget* parent, const rv::reports::ReportDefinition& def, rv::reports::ReportSource source,
                rv::reports::PageEngine& engine, const rv::app::Settings* settings = nullptr, double factor = 1.0);
    ~TReportForm() override;

    bool cancelled() const { return cancelled_; }   // by the user or by a failure
    bool completed() const { return completed_; }
    int pages() const { return pages_; }
    bool running() const { return running_; }

    QLabel* Label1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;  // Escape or the close box: cancels a run, else closes

private:
    void FormActivate();
    void step();
    void BitBtn1Click();
    void ended(bool cancelled);
    void fail(const QString& message);

    std::unique_ptr<rv::reports::ReportRenderer> renderer_;
    const rv::app::Settings* settings_;
    double factor_;
    bool started_ = false, running_ = false, cancelled_ = false, completed_ = false;
    int pages_ = 0;
};

}  // namespace rv::gui
