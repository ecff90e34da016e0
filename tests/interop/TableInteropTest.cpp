// Video tables against independent dBase tools, both ways: what the engine writes is read
// correctly by GDAL (ogrinfo) and shapelib (dbfdump), accented titles included; tables those
// tools (and LibreOffice, when installed) write with the forty catalogue names open here with
// their values as text.  Each test skips itself when its tool is missing.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/db/FieldCatalog.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"
#include "interop/InteropSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace rv::db;

bool haveTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

using rvtest::run;

bool contains(const std::string& haystack, const std::string& needle) { return haystack.find(needle) != std::string::npos; }

class TableInterop : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "rv_table_interop_XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string q(const fs::path& p) const { return "'" + p.string() + "'"; }

    // A video table written here: an accented title, numbers, money, a date, and blanks.
    fs::path ourTable() {
        fs::path p = dir / "OURS.DBF";
        Table::createVideoTable(p);
        Table t;
        t.setPath(p);
        t.open();
        t.append();
        t.setString("Title", "\xC9t\xE9 \xE0 Paris");  // "Été à Paris" in Windows-1252
        t.setString("Star1", "Fran\xE7oise Dorl\xE9" "ac");
        t.setNumber("Year", 1997);
        t.setString("ListPrice", "12.5");
        t.setDate("PurchDate", Date{1997, 3, 5});
        t.post();
        t.append();
        t.setString("Title", "Blank values \x80 5 \x97 the end");  // "€" and "—" in Windows-1252
        t.post();
        t.close();
        return p;
    }

    // Checks a table written by another tool: the forty names (in whatever case the tool
    // wrote them), and the first record's values as text.
    void expectReadable(const fs::path& p, const std::string& year, const std::string& price) {
        EXPECT_EQ(videoTableProblem(p), std::nullopt);
        Table t;
        t.setPath(p);
        t.open();
        ASSERT_EQ(t.fieldCount(), 40);
        EXPECT_EQ(t.recordCount(), 2);
        EXPECT_EQ(t.asString("Title"), "\xC9t\xE9 \xE0 Paris");
        EXPECT_EQ(t.asString("Year"), year);
        EXPECT_EQ(t.asString("ListPrice"), price);
        EXPECT_EQ(t.asString("Category"), "Drama");
        t.next();
        EXPECT_EQ(t.asString("Title"), "Second");
        EXPECT_EQ(t.asString("Year"), "");
    }
};

}  // namespace

TEST_F(TableInterop, GdalReadsOurTable) {
    if (!haveTool("ogrinfo")) GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    fs::path p = ourTable();
    std::string out = run("ogrinfo -al -q " + q(p) + " 2>&1");
    EXPECT_TRUE(contains(out, "TITLE (String) = \xC3\x89t\xC3\xA9 \xC3\xA0 Paris")) << out.substr(0, 2000);
    EXPECT_TRUE(contains(out, "STAR1 (String) = Fran\xC3\xA7oise Dorl\xC3\xA9" "ac"));
    // The language driver names code page 1252, so the characters of 0x80-0x9F survive.
    EXPECT_TRUE(contains(out, "TITLE (String) = Blank values \xE2\x82\xAC 5 \xE2\x80\x94 the end")) << out.substr(0, 4000);
    EXPECT_TRUE(contains(out, "YEAR (Integer64) = 1997"));
    EXPECT_TRUE(contains(out, "LISTPRICE (Real) = 12.50"));
    EXPECT_TRUE(contains(out, "PURCHDATE (Date) = 1997/03/05"));
    // Blank numbers and dates are "no value", not zero.
    EXPECT_TRUE(contains(out, "YEAR (Integer64) = (null)"));
    EXPECT_FALSE(contains(out, "YEAR (Integer64) = 0\n"));
    // GDAL leaves an unset date out: only the first record shows one.
    EXPECT_EQ(out.find("PURCHDATE (Date)"), out.rfind("PURCHDATE (Date)"));
}

TEST_F(TableInterop, ShapelibReadsOurTable) {
    if (!haveTool("dbfdump")) GTEST_SKIP() << "dbfdump (shapelib) is not installed";
    fs::path p = ourTable();
    std::string header = run("dbfdump -h " + q(p) + " 2>&1");
    for (const char* line : {"TITLE", "YEAR", "LISTPRICE", "PURCHDATE", "USERDEF2"})
        EXPECT_TRUE(contains(header, line)) << line;
    std::string out = run("dbfdump -m -r " + q(p) + " 2>&1");
    // dbfdump prints the stored bytes: Windows-1252.
    EXPECT_TRUE(contains(out, "TITLE: \xC9t\xE9 \xE0 Paris")) << out.substr(0, 400);
    EXPECT_TRUE(contains(out, "YEAR: 1997"));
    EXPECT_TRUE(contains(out, "LISTPRICE: 12.50"));
    EXPECT_TRUE(contains(out, "PURCHDATE: 19970305"));
    EXPECT_TRUE(contains(out, "TITLE: Blank values"));
}

TEST_F(TableInterop, TableWrittenByGdalOpensHere) {
    if (!haveTool("ogr2ogr")) GTEST_SKIP() << "ogr2ogr (gdal-bin) is not installed";
    // A CSV with the forty names in lower case: GDAL makes every field text.
    std::string csv;
    for (const FieldDef& f : kFields) {
        std::string name(f.name);
        for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
        csv += (f.number > 1 ? "," : "") + name;
    }
    auto row = [](const std::string& title, const std::string& year, const std::string& price) {
        std::string line;
        for (const FieldDef& f : kFields) {
            std::string v = f.number == 1 ? title : f.number == 11 ? year : f.number == 28 ? price : f.number == 14 ? "Drama" : "";
            line += (f.number > 1 ? "," : "") + ("\"" + v + "\"");
        }
        return line;
    };
    csv += "\n" + row("\xC3\x89t\xC3\xA9 \xC3\xA0 Paris", "1997", "12.50") + "\n" + row("Second", "", "") + "\n";
    std::ofstream(dir / "in.csv") << csv;
    fs::path p = dir / "gdal.dbf";
    std::string out = run("ogr2ogr -f 'ESRI Shapefile' " + q(p) + " " + q(dir / "in.csv") + " 2>&1");
    ASSERT_TRUE(fs::exists(p)) << out;
    expectReadable(p, "1997", "12.50");
}

TEST_F(TableInterop, TableWrittenByShapelibOpensHere) {
    if (!haveTool("dbfcreate") || !haveTool("dbfadd")) GTEST_SKIP() << "shapelib tools are not installed";
    fs::path p = dir / "shapelib.dbf";
    // Mixed-case names; Year as text, the prices as numbers with two decimals.
    std::string create = "dbfcreate " + q(p);
    for (const FieldDef& f : kFields) {
        std::string name(f.name);
        if (f.number % 2) name[0] = char(std::tolower(static_cast<unsigned char>(name[0])));
        if (f.kind == FieldKind::Money)
            create += " -n " + name + " 12 2";
        else if (f.kind == FieldKind::Text)
            create += " -s " + name + " " + std::to_string(f.width);
        else
            create += " -s " + name + " 10";
    }
    ASSERT_EQ(std::system((create + " >/dev/null 2>&1").c_str()), 0);
    auto add = [&](const std::string& title, const std::string& year, const std::string& price) {
        std::string cmd = "dbfadd " + q(p);
        for (const FieldDef& f : kFields) {
            std::string v = f.number == 1 ? title : f.number == 11 ? year : f.number == 14 ? "Drama" : "";
            if (f.kind == FieldKind::Money) v = f.number == 28 ? price : "";
            cmd += " '" + v + "'";
        }
        return std::system((cmd + " >/dev/null 2>&1").c_str());
    };
    ASSERT_EQ(add("\xC9t\xE9 \xE0 Paris", "1997", "12.5"), 0);  // shapelib stores the bytes it is given
    ASSERT_EQ(add("Second", "", ""), 0);
    expectReadable(p, "1997", "12.50");
}

TEST_F(TableInterop, TableWrittenByLibreOfficeOpensHere) {
    if (!haveTool("soffice")) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    // Calc writes dBase files through the dBase driver of libreoffice-base-drivers.
    if (run("find /usr/lib/libreoffice -name 'libdbase*' 2>/dev/null").empty())
        GTEST_SKIP() << "LibreOffice's dBase driver (libreoffice-base-drivers) is not installed";
    std::string csv;
    for (const FieldDef& f : kFields) csv += (f.number > 1 ? "," : "") + std::string(f.name);
    csv += "\n";
    for (const auto& [title, year, price] :
         std::vector<std::tuple<std::string, std::string, std::string>>{{"\xC3\x89t\xC3\xA9 \xC3\xA0 Paris", "1997", "12.50"},
                                                                        {"Second", "", ""}}) {
        for (const FieldDef& f : kFields) {
            std::string v = f.number == 1 ? title : f.number == 11 ? year : f.number == 28 ? price : f.number == 14 ? "Drama" : "";
            csv += (f.number > 1 ? "," : "") + ("\"" + v + "\"");
        }
        csv += "\n";
    }
    std::ofstream(dir / "lo.csv") << csv;
    // Text import as UTF-8 (76), export as dBase in Windows-1252.
    std::string out = run("cd " + q(dir) +
                          " && soffice --headless --infilter='CSV:44,34,76,1' --convert-to 'dbf:dBase:ANSI' lo.csv 2>&1");
    fs::path p = dir / "lo.dbf";
    ASSERT_TRUE(fs::exists(p)) << out;
    EXPECT_EQ(videoTableProblem(p), std::nullopt);
    Table t;
    t.setPath(p);
    t.open();
    EXPECT_EQ(t.asString("Title"), "\xC9t\xE9 \xE0 Paris");
    EXPECT_EQ(t.asNumber("Year"), 1997);
    EXPECT_EQ(t.asNumber("ListPrice"), 12.5);
}
