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
#include "support/TempFolder.h"

namespace rv::db::test {

namespace fs = std::filesystem;

using TempDir = rvtest::TempFolder;

inline std::string readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline uint32_t u32At(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + size_t(i)]);
    return v;
}

// Creates an empty video table at p and opens it shared in t.
inline void openNewVideoTable(Table& t, const fs::path& p) {
    Table::createVideoTable(p);
    t.setPath(p);
    t.open();
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
    Table t;
    openNewVideoTable(t, p);
    appendVideos(t, 1, n);
    t.close();
    return p;
}

// A closed video table V.DBF of n records with the tag NewIndex on `expression`; t is pointed
// at it with the tag selected.
inline fs::path indexedVideoTable(Table& t, const fs::path& dir, int n,
                                  const std::string& expression = "Upper(Left(Title,80))") {
    fs::path p = videoTable(dir, "V.DBF", n);
    t.setPath(p);
    t.addIndex("NewIndex", expression);
    t.setIndexName("NewIndex");
    return p;
}

// Titles of the visible records in the table's current order.
inline std::vector<std::string> titles(Table& t) {
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.asString("Title"));
    return out;
}

}  // namespace rv::db::test
