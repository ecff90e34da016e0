#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

#include "core/app/Paths.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace rv::gui {

namespace {

// The refusal of a file in a folder that does not exist, when the request asks for one.
std::optional<QString> missingFolder(const FileRequest& request, const QString& chosen) {
    if (request.mode != FileRequest::Mode::Save || !request.folderMustExist) return std::nullopt;
    if (auto problem = rv::app::missingFolderProblem(pathFromQ(chosen))) return toQ(*problem);
    return std::nullopt;
}

std::unique_ptr<Prompt>& current() {
    static std::unique_ptr<Prompt> instance;
    return instance;
}

QMessageBox::StandardButton standardButton(Answer a) {
    switch (a) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

QMessageBox::StandardButtons standardButtons(Buttons b) {
    switch (b) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The answer of a box closed without a button (Escape or the title bar).
Answer closedAnswer(Buttons b) {
    switch (b) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

template <class T>
T next(std::deque<T>& queue, const char* what, const QString& context) {
    if (queue.empty())
        throw UnscriptedPrompt(std::string("no scripted answer for ") + what + ": " +
                               context.toStdString());
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

}  // namespace

Prompt& prompt() {
    auto& p = current();
    if (!p) p = std::make_unique<QtPrompt>();
    return *p;
}

std::unique_ptr<Prompt> installPrompt(std::unique_ptr<Prompt> prompt) {
    auto previous = std::move(current());
    current() = std::move(prompt);
    return previous;
}

// ---- QtPrompt ---------------------------------------------------------------------------

Answer QtPrompt::ask(QWidget* parent, const Message& message) {
    QMessageBox box(parent);
    box.setWindowTitle(message.title);
    box.setText(message.text);
    switch (message.icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    box.setStandardButtons(standardButtons(message.buttons));
    box.setDefaultButton(standardButton(message.defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return closedAnswer(message.buttons);
    }
}

void QtPrompt::beep(Sound) { QApplication::beep(); }

std::optional<QString> QtPrompt::chooseFile(QWidget* parent, const FileRequest& request) {
    QFileDialog dialog(parent, request.title, request.directory, request.filter);
    const bool open = request.mode == FileRequest::Mode::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open && request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!open && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        const QString chosen = dialog.selectedFiles().front();
        if (auto refusal = missingFolder(request, chosen)) {
            error(parent, *refusal);
            continue;
        }
        return chosen;
    }
}

std::optional<QString> QtPrompt::chooseDirectory(QWidget* parent, const QString& title,
                                                 const QString& start) {
    QString dir = QFileDialog::getExistingDirectory(parent, title, start);
    if (dir.isEmpty()) return std::nullopt;
    return dir;
}

std::optional<QColor> QtPrompt::chooseColor(QWidget* parent, const QColor& initial) {
    QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

std::optional<QFont> QtPrompt::chooseFont(QWidget* parent, const QFont& initial) {
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) return std::nullopt;
    return f;
}

// ---- ScriptedPrompt ---------------------------------------------------------------------

Answer ScriptedPrompt::ask(QWidget*, const Message& message) {
    Record r;
    r.kind = Record::Kind::Message;
    r.message = message;
    log.push_back(r);
    if (message.buttons == Buttons::Ok) {
        // An OK box may still be scripted (a test that answers every box in order).
        if (!answers.empty() && answers.front() == Answer::Ok) answers.pop_front();
        return Answer::Ok;
    }
    return next(answers, "question", message.title + QStringLiteral(": ") + message.text);
}

void ScriptedPrompt::beep(Sound sound) {
    Record r;
    r.kind = Record::Kind::Beep;
    r.sound = sound;
    log.push_back(r);
}

std::optional<QString> ScriptedPrompt::chooseFile(QWidget*, const FileRequest& request) {
    Record r;
    r.kind = Record::Kind::File;
    r.file = request;
    log.push_back(r);
    for (;;) {
        std::optional<QString> chosen = next(files, "file dialog", request.title);
        if (!chosen) return chosen;
        auto refusal = missingFolder(request, *chosen);
        if (!refusal) return chosen;
        error(nullptr, *refusal);  // as the real dialog does, then the next scripted answer
    }
}

std::optional<QString> ScriptedPrompt::chooseDirectory(QWidget*, const QString& title,
                                                       const QString&) {
    Record r;
    r.kind = Record::Kind::Directory;
    r.title = title;
    log.push_back(r);
    return next(directories, "folder dialog", title);
}

std::optional<QColor> ScriptedPrompt::chooseColor(QWidget*, const QColor&) {
    Record r;
    r.kind = Record::Kind::Color;
    log.push_back(r);
    return next(colors, "colour dialog", QString());
}

std::optional<QFont> ScriptedPrompt::chooseFont(QWidget*, const QFont&) {
    Record r;
    r.kind = Record::Kind::Font;
    log.push_back(r);
    return next(fonts, "font dialog", QString());
}

std::vector<Message> ScriptedPrompt::messages() const {
    std::vector<Message> out;
    for (const auto& r : log)
        if (r.kind == Record::Kind::Message) out.push_back(r.message);
    return out;
}

QStringList ScriptedPrompt::texts() const {
    QStringList out;
    for (const auto& m : messages()) out << m.text;
    return out;
}

// ---- PromptScope ------------------------------------------------------------------------

PromptScope::PromptScope(std::unique_ptr<Prompt> prompt) : previous_(installPrompt(std::move(prompt))) {}

PromptScope::~PromptScope() { installPrompt(std::move(previous_)); }

// ---- Filters ----------------------------------------------------------------------------

QString vclFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // "Database Files (*.DBF)": drop the pattern list, the full one is added below.
        if (description.endsWith(QLatin1Char(')'))) {
            const auto open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0) description = description.left(open).trimmed();
        }
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& v : {p.trimmed(), p.trimmed().toLower(), p.trimmed().toUpper()})
                if (!v.isEmpty() && !patterns.contains(v)) patterns << v;
        }
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

std::optional<std::string> storable(QWidget* parent, const QString& text) {
    std::string bad;
    auto stored = rv::app::utf8ToCp1252(text.toStdString(), &bad);
    if (!stored) prompt().error(parent, QString::fromStdString(rv::app::unencodableMessage(bad)));
    return stored;
}

}  // namespace rv::gui
