#include "gui/backup/BackupFeedback.h"

#include <QApplication>
#include <QGroupBox>
#include <QRadioButton>

#include <exception>

#include "gui/common/Colors.h"
#include "gui/common/Messages.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace rv::gui {

WindowFeedback::~WindowFeedback() { busy(false); }

void WindowFeedback::show(const rv::backup::Notice& notice) {
    const QString title = toQ(notice.title);
    Icon icon = Icon::Information;
    if (notice.title == "Error") icon = Icon::Error;
    if (notice.title == "Warning") icon = Icon::Warning;
    prompt().show(parent_, title, toQ(notice.text), icon);
}

void WindowFeedback::busy(bool on) {
    if (on == busy_) return;
    busy_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

rv::backup::Outcome runShowingErrors(QWidget* parent, const std::function<rv::backup::Outcome()>& run) {
    try {
        return run();
    } catch (const UnscriptedPrompt&) {
        throw;  // a test script ran out; let the test see it
    } catch (const std::exception& e) {
        prompt().show(parent, kProgramTitle, toQ(e.what()), Icon::Error);
        return rv::backup::Outcome::Stopped;
    }
}

void paintBackupWindow(QWidget* window, const rv::app::Settings& settings, std::initializer_list<QGroupBox*> groups,
                       std::initializer_list<QRadioButton*> radios) {
    using namespace rv::app;
    const ColorSet& c = settings.colors[ConfigureWindowColors];
    paintBackground(window, c[MainBackground]);
    for (QGroupBox* g : groups) paintTextAndBackground(g, c[MinorTitle], c[MainBackground]);
    for (QRadioButton* r : radios) paintTextAndBackground(r, c[RadioText], c[RadioBackground]);
}

}  // namespace rv::gui
