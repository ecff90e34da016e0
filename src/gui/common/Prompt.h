#pragma once
// The prompt service: every message box, question, system sound and common dialog (file,
// folder, colour, font) of the windows goes through one Prompt owned by the application.
//
// The program installs a QtPrompt (QMessageBox, QFileDialog, QColorDialog, QFontDialog,
// QApplication::beep).  Window tests install a ScriptedPrompt that records every request and
// answers from queues, so whole commands run without modal loops.
//
//     rv::gui::prompt().error(this, "Invalid file type selected.");
//     if (rv::gui::prompt().ask(this, {"Confirm", "Delete this record?", Buttons::YesNo,
//                                      Answer::Yes, Icon::Question}) == Answer::Yes) ...
//
// Texts are QString (UTF-8 inside Qt); core messages in Windows-1252 are converted by the
// caller (gui/common/Text.h).

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

class QWidget;

namespace rv::gui {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };
enum class Icon { None, Information, Warning, Error, Question };
// The system sounds that precede a warning, error or question.
enum class Sound { Default, Information, Warning, Error, Question };

struct Message {
    QString title;
    QString text;
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;
    Icon icon = Icon::None;
};

struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString filter;         // Qt filter string; see vclFilter() for the "Desc|*.EXT" form
    QString defaultSuffix;  // without the dot, e.g. "DBF"
    QString directory;      // start folder or file
    bool mustExist = true;        // Open: the chosen file must exist
    bool confirmOverwrite = true; // Save: ask before replacing an existing file
    bool folderMustExist = false; // Save: a file in a folder that does not exist is refused
                                  // with a message and the dialog asks again
};

class Prompt {
public:
    virtual ~Prompt() = default;

    // A message box; answers the button pressed (closing the box answers Cancel, or No
    // for Yes/No boxes, or Ok for an OK-only box).
    virtual Answer ask(QWidget* parent, const Message& message) = 0;
    virtual void beep(Sound sound) = 0;
    // The chosen file's full path, or nothing when cancelled.
    virtual std::optional<QString> chooseFile(QWidget* parent, const FileRequest& request) = 0;
    virtual std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                                   const QString& start) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;

    // Shorthands for the standard boxes with an OK button.
    void error(QWidget* parent, const QString& text) { show(parent, QStringLiteral("Error"), text, Icon::Error); }
    void warning(QWidget* parent, const QString& text) { show(parent, QStringLiteral("Warning"), text, Icon::Warning); }
    void notice(QWidget* parent, const QString& text) { show(parent, QStringLiteral("Notice"), text, Icon::Information); }
    void show(QWidget* parent, const QString& title, const QString& text, Icon icon = Icon::None) {
        ask(parent, Message{title, text, Buttons::Ok, Answer::Ok, icon});
    }
    // A Yes/No question; true on Yes.
    bool yes(QWidget* parent, const QString& title, const QString& text,
             Answer defaultAnswer = Answer::Yes, Icon icon = Icon::Question) {
        return ask(parent, Message{title, text, Buttons::YesNo, defaultAnswer, icon}) == Answer::Yes;
    }
};

// The application's prompt.  A QtPrompt is created on first use when none was installed.
Prompt& prompt();
// Installs a prompt and answers the one it replaces (may be null).
std::unique_ptr<Prompt> installPrompt(std::unique_ptr<Prompt> prompt);

// The real prompt over Qt's standard dialogs.
class QtPrompt : public Prompt {
public:
    Answer ask(QWidget* parent, const Message& message) override;
    void beep(Sound sound) override;
    std::optional<QString> chooseFile(QWidget* parent, const FileRequest& request) override;
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                           const QString& start) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
};

// Raised by ScriptedPrompt when a request finds no scripted answer.
class UnscriptedPrompt : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The test prompt.  Records every request in order; answers questions (boxes with more than
// one button) and dialogs from queues and throws UnscriptedPrompt when a queue is empty, so a
// test never hangs on a loop it did not expect.  OK-only boxes need no answer.
class ScriptedPrompt : public Prompt {
public:
    struct Record {
        enum class Kind { Message, Beep, File, Directory, Color, Font };
        Kind kind = Kind::Message;
        Message message;      // Kind::Message
        Sound sound = Sound::Default;  // Kind::Beep
        FileRequest file;     // Kind::File
        QString title;        // Kind::Directory
    };

    Answer ask(QWidget* parent, const Message& message) override;
    void beep(Sound sound) override;
    std::optional<QString> chooseFile(QWidget* parent, const FileRequest& request) override;
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& title,
                                           const QString& start) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;

    // Answers, used first in first out.  A file, folder, colour or font answer of nothing
    // cancels the dialog.
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<QString>> directories;
    std::deque<std::optional<QColor>> colors;
    std::deque<std::optional<QFont>> fonts;

    std::vector<Record> log;

    // The message boxes only, in order.
    std::vector<Message> messages() const;
    // The texts of the message boxes, in order.
    QStringList texts() const;
    void clear() { log.clear(); }
};

// Installs a prompt for the lifetime of the scope and puts the previous one back after.
class PromptScope {
public:
    explicit PromptScope(std::unique_ptr<Prompt> prompt);
    ~PromptScope();
    PromptScope(const PromptScope&) = delete;
    PromptScope& operator=(const PromptScope&) = delete;

private:
    std::unique_ptr<Prompt> previous_;
};

// Turns a file-dialog filter written "Description (*.EXT)|*.EXT;*.EX2|Other|*.*" into Qt's
// form, matching each pattern in both letter cases: "Description (*.EXT *.ext *.EX2 *.ex2);;
// Other (*.*)".  A description that already ends in a parenthesised pattern list loses it.
QString vclFilter(const QString& filter);

}  // namespace rv::gui
