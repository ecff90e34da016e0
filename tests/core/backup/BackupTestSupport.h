#pragma once
// The running program as backup and restore see it, for tests: a current database opened
// shared, a program folder, a search flag, and a log of what was asked of it.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/backup/BackupRestore.h"
#include "core/backup/FileCopy.h"
#include "core/db/DbTestSupport.h"

namespace rv::backup::test {

namespace fs = std::filesystem;

struct TestHost : Host, Feedback {
    fs::path database;
    fs::path program;
    rv::db::Table t;
    std::string sort = "Upper(Left(Title,80))";
    bool search = false;
    std::vector<std::string> calls;   // what was asked, in order
    std::vector<Notice> notices;
    std::vector<bool> openWhenShown;  // whether the table was open at each message

    TestHost(fs::path db, fs::path programFolder) : database(std::move(db)), program(std::move(programFolder)) {
        t.setPath(database);
        t.open();
    }

    fs::path databasePath() const override { return database; }
    fs::path programFolder() const override { return program; }
    rv::db::Table& table() override { return t; }
    std::string sortExpression() const override { return sort; }
    bool searchInForce() const override { return search; }
    void suspendSearch() override {
        calls.push_back("suspend");
        search = false;
    }
    void resumeSearch() override {
        calls.push_back("resume");
        search = true;
    }
    void endSearch() override {
        calls.push_back("end search");
        search = false;
    }
    void tableReopened() override {
        calls.push_back(std::string("reopened") + (t.isOpen() ? "" : " but closed") + (t.exclusive() ? " exclusively" : ""));
    }
    void saveAllLists() override { calls.push_back("save lists"); }
    void saveDatabaseSettings() override { calls.push_back("save settings"); }
    void makeCurrent(const fs::path& p) override {
        calls.push_back("current " + p.filename().string());
        database = p;
        t.close();
        t.setPath(p);
    }
    void listsRestored() override { calls.push_back("lists loaded"); }
    void configurationRestored() override { calls.push_back("settings read"); }
    void show(const Notice& n) override {
        notices.push_back(n);
        openWhenShown.push_back(t.isOpen());
    }
    void busy(bool on) override { calls.push_back(on ? "busy" : "not busy"); }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& n : notices) out.push_back(n.text);
        return out;
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& n : notices) out.push_back(n.title);
        return out;
    }
};

// A free-space figure for the length of a scope.
class FreeSpace {
public:
    explicit FreeSpace(std::uintmax_t bytes)
        : previous_(setFreeSpaceProbe([bytes](const fs::path&) { return std::optional<std::uintmax_t>(bytes); })) {}
    ~FreeSpace() { setFreeSpaceProbe(previous_); }
    FreeSpace(const FreeSpace&) = delete;
    FreeSpace& operator=(const FreeSpace&) = delete;

private:
    FreeSpaceProbe previous_;
};

// Runs work in a child process whose files cannot grow beyond `limit` bytes (a full medium:
// writes beyond it fail with EFBIG); answers the child's exit code (work's result), or -1
// when it died.
inline int withFileSizeLimit(rlim_t limit, const std::function<int()>& work) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        int code = 99;
        try {
            code = work();
        } catch (...) {
            code = 98;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
            rv::db::Table t;
            try {
                t.setPath(table);
                t.open();
                c = 'y';
            } catch (...) {
            }
            if (::write(ready[1], &c, 1) != 1) ::_exit(2);
            if (c == 'y' && ::read(quit[0], &c, 1) < 0) ::_exit(3);  // until the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(quit[0]);
        quit_ = quit[1];
        char c = 'n';
        holding_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
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

// The names in a folder, sorted.
inline std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace rv::backup::test
