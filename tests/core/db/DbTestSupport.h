#pragma once
// Small fixtures for the table engine tests: a temporary folder, raw file access, and video
// tables filled with known records.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/db/Table.h"

namespace rv::db::test {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "rv_db_XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

inline std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// The title of generated record i (1-based): not in alphabetical order of i.
inline std::string titleOf(int i) {
    static const char* words[] = {"Delta", "alpha", "Charlie", "bravo", "Echo", "foxtrot", "Golf"};
    return std::string(words[i % 7]) + " " + std::to_string(i);
}

// Appends records with Title, Year, ListPrice and PurchDate set from their number.
inline void appendVideos(Table& t, int from, int to) {
    for (int i = from; i <= to; ++i) {
        t.append();
        t.setString("Title", titleOf(i));
        t.setNumber("Year", 1900 + i % 100);
        t.setString("ListPrice", std::to_string(i) + ".25");
        t.setDate("PurchDate", Date{2000 + i % 20, 1 + i % 12, 1 + i % 28});
        t.post();
    }
}

// A closed video table at dir/name holding n generated records.
inline fs::path videoTable(const fs::path& dir, const std::string& name, int n) {
    fs::path p = dir / name;
    Table::createVideoTable(p);
    Table t;
    t.setPath(p);
    t.open();
    appendVideos(t, 1, n);
    t.close();
    return p;
}

// Titles of the visible records in the table's current order.
inline std::vector<std::string> titles(Table& t) {
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.asString("Title"));
    return out;
}

}  // namespace rv::db::test
