#pragma once
// Fixtures for the window tests: a private program and configuration folder, a scripted
// prompt, small video tables, a second process that holds a table open, and a helper that
// answers a modal dialog.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app/Formats.h"
#include "core/browse/SearchCriteria.h"
#include "core/db/Table.h"
#include "gui/common/Prompt.h"

namespace rvtest {

namespace fs = std::filesystem;

// A temporary folder holding "program" (REELVANE_PROGRAM_DIR) and "config"
// (REELVANE_CONFIG_DIR), with a scripted prompt installed for its lifetime.
class Sandbox {
public:
    Sandbox() : scope_(std::make_unique<rv::gui::ScriptedPrompt>()) {
        std::string tmpl = (fs::temp_directory_path() / "rv_gui_XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        root_ = tmpl;
        fs::create_directories(program());
        fs::create_directories(config());
        ::setenv("REELVANE_PROGRAM_DIR", program().c_str(), 1);
        ::setenv("REELVANE_CONFIG_DIR", config().c_str(), 1);
    }
    ~Sandbox() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    fs::path root() const { return root_; }
    fs::path program() const { return root_ / "program"; }
    fs::path config() const { return root_ / "config"; }
    fs::path programIni() const { return config() / "RVLVID.INI"; }
    rv::gui::ScriptedPrompt& prompt() { return static_cast<rv::gui::ScriptedPrompt&>(rv::gui::prompt()); }

    // Writes RVLVID.INI with the given "Misc" keys.
    void writeProgramIni(const std::vector<std::pair<std::string, std::string>>& misc) const {
        std::ofstream out(programIni(), std::ios::binary);
        out << "[Misc]\r\n";
        for (const auto& [k, v] : misc) out << k << "=" << v << "\r\n";
    }

private:
    fs::path root_;
    rv::gui::PromptScope scope_;
};

inline std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A video table with records titled as given (and Year 1990 + position).
inline fs::path videoTable(const fs::path& path, const std::vector<std::string>& titles = {}) {
    rv::db::Table::createVideoTable(path);
    if (titles.empty()) return path;
    rv::db::Table t;
    t.setPath(path);
    t.open();
    int year = 1990;
    for (const auto& title : titles) {
        t.append();
        t.setString("Title", title);
        t.setNumber("Year", year++);
        t.post();
    }
    t.close();
    return path;
}

// A dBase table that is not a video table.
inline fs::path foreignTable(const fs::path& path) {
    rv::db::Table::create(path, {{"NAME", rv::db::FieldKind::Text, 20}, {"AGE", rv::db::FieldKind::Whole, 0}});
    return path;
}

// The titles of the table's visible records in its current order.
inline std::vector<std::string> titles(rv::db::Table& t) {
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.asString("Title"));
    return out;
}

// Search criteria of one level: the Title row holds `text`.
inline rv::browse::SearchCriteria titleCriteria(const std::string& text) {
    rv::browse::SearchLevelRows rows;
    rows.cell(1) = text;
    rv::browse::SearchCriteria criteria;
    rv::browse::storeLevel(criteria, rows, rv::app::ShortDateFormat());
    return criteria;
}

// Another process holding a table open shared until this object goes away.
class Holder {
public:
    explicit Holder(const fs::path& table) {
        int ready[2], quit[2];
        if (::pipe(ready) != 0 || ::pipe(quit) != 0) throw std::runtime_error("pipe failed");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(quit[1]);
            char c = 'n';
            try {
                rv::db::Table t;
                t.setPath(table);
                t.open();
                c = 'y';
                if (::write(ready[1], &c, 1) != 1) ::_exit(2);
                ::read(quit[0], &c, 1);  // until the parent closes its end
            } catch (...) {
                if (::write(ready[1], &c, 1) != 1) ::_exit(2);
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(quit[0]);
        quit_ = quit[1];
        char c = 'n';
        const bool got = ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
        holding_ = got && c == 'y';
    }
    ~Holder() {
        ::close(quit_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    bool holding() const { return holding_; }

private:
    pid_t pid_ = -1;
    int quit_ = -1;
    bool holding_ = false;
};

// Runs `act` on the next modal dialog of type D once it is shown (then the dialog's exec()
// returns when `act` accepts or rejects it).  Rejects it after `act` if it is still open,
// so a test never hangs.
template <class D>
void whenModal(std::function<void(D&)> act, int tries = 200) {
    QTimer::singleShot(0, [act, tries] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (tries > 0) QTimer::singleShot(10, [act, tries] { whenModal<D>(act, tries - 1); });
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

}  // namespace rvtest
