#pragma once
// What the Backup and Restore windows share: their runs' message boxes and hourglass, the
// common look of the two windows, and the error box for an engine error no step caught.

#include <QString>

#include <functional>

#include "core/app/Settings.h"
#include "core/backup/BackupRestore.h"

class QWidget;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace rv::gui {

// A run's messages go through the prompt service, over the window; busy shows the
// hourglass cursor.
class WindowFeedback : public rv::backup::Feedback {
public:
    explicit WindowFeedback(QWidget* parent) : parent_(parent) {}
    ~WindowFeedback() override;
    void show(const rv::backup::Notice& notice) override;
    void busy(bool on) override;

private:
    QWidget* parent_;
    bool busy_ = false;
};

// How the windows are placed on showing (fonts, scale factor, centring); by default they
// are only centred on their parent.
using PlaceDialogFn = std::function<void(QWidget*)>;
// The help command: shows the help topic of a keyword.
using HelpFn = std::function<void(const QString& keyword)>;

inline const QString kBackupHelpKeyword = QStringLiteral("Backup and Restore");

// Runs one backup or restore, showing an engine error it raises in an error box; answers
// Stopped then.
rv::backup::Outcome runShowingErrors(QWidget* parent, const std::function<rv::backup::Outcome()>& run);

// The Configure Window colours on a backup or restore window: background, the group boxes'
// titles and the radio buttons.
void paintBackupWindow(QWidget* window, const rv::app::Settings& settings, std::initializer_list<QGroupBox*> groups,
                       std::initializer_list<QRadioButton*> radios);

}  // namespace rv::gui
