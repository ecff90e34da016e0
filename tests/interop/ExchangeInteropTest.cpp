// Import and export against independent tools: a dBase table GDAL writes imports with its
// values, and our text and dBase exports open in GDAL with the right values, accents
// included; LibreOffice, when installed, saves a CSV of our export that imports back.  Each
// test skips itself when its tool is missing.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/app/Formats.h"
#include "core/db/Table.h"
#include "core/exchange/Export.h"
#include "core/exchange/Import.h"
#include "interop/InteropSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace rv;
using db::Table;
using rvtest::run;

bool haveTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }
bool contains(const std::string& haystack, const std::string& needle) { return haystack.find(needle) != std::string::npos; }
std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

db::Date fixedToday() { return {2026, 6, 1}; }

class ExchangeInterop : public ::testing::Test {
protected:
    fs::path dir;
    app::ShortDateFormat dates{7, true, fixedToday};  // mm/dd/yyyy
    Table t;

    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "rv_exchange_interop_XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        Table::createVideoTable(dir / "V.DBF");
        t.setPath(dir / "V.DBF");
        t.setDateCodec(&dates);
        t.open();
    }
    void TearDown() override {
        t.close();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // Two records with accents, quotes, commas, a number, a price and a date.
    void fill() {
        t.append();
        t.setString("Title", "Caf\xE9 \"Noir\", Montr\xE9" "al");
        t.setNumber("Year", 1947);
        t.setNumber("ListPrice", 12.5);
        t.setDate("PurchDate", db::Date{1997, 3, 5});
        t.setString("Star1", "Ren\xE9" "e Z\xFCrich");
        t.post();
        t.append();
        t.setString("Title", "Plain");
        t.post();
    }
};

}  // namespace

TEST_F(ExchangeInterop, DbfWrittenByGdalImports) {
    if (!haveTool("ogr2ogr")) GTEST_SKIP() << "ogr2ogr (gdal-bin) is not installed";
    // UTF-8 text as GDAL reads it; typed columns from the values.
    writeFile(dir / "films.csv",
              "name,year,price,bought\n"
              "Caf\xC3\xA9 Noir,1947,12.5,1997/03/05\n"
              "Z\xC3\xBCrich,1999,0.25,2001/12/31\n");
    const std::string out = run("ogr2ogr -f 'ESRI Shapefile' -oo AUTODETECT_TYPE=YES " + q(dir / "films.dbf") + " " +
                                q(dir / "films.csv") + " 2>&1");
    ASSERT_TRUE(fs::exists(dir / "films.dbf")) << out;

    const exchange::DbfInfo info = exchange::dbfInfo(dir / "films.dbf");
    ASSERT_EQ(info.names.size(), 4u);
    EXPECT_TRUE(db::equalsNoCase(info.names[0], "name"));
    // name -> Title, year -> Year, price -> List Price, bought -> Purch Date.
    EXPECT_EQ(exchange::importDbf(t, dir / "films.dbf", {1, 11, 28, 35}, dates), 2);
    t.first();
    EXPECT_EQ(t.asString("Title"), "Caf\xE9 Noir");
    EXPECT_EQ(t.asString("Year"), "1947");
    EXPECT_EQ(t.asString("ListPrice"), "12.50");
    EXPECT_EQ(t.asDate("PurchDate"), (db::Date{1997, 3, 5}));
    t.next();
    EXPECT_EQ(t.asString("Title"), "Z\xFCrich");
    EXPECT_EQ(t.asString("ListPrice"), "0.25");
    EXPECT_EQ(t.asDate("PurchDate"), (db::Date{2001, 12, 31}));
}

TEST_F(ExchangeInterop, OurTextExportOpensInGdal) {
    if (!haveTool("ogrinfo")) GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    fill();
    const std::vector<std::string> titles{"Title", "Year", "List Price", "Purch Date", "Star 1"};
    exchange::exportText(t, dir / "out.csv", {1, 11, 28, 35, 2}, &titles);
    // The file is Windows-1252; GDAL's CSV reader passes the bytes through.
    const std::string out = run("ogrinfo -al -q -oo HEADERS=YES " + q(dir / "out.csv") + " 2>&1");
    EXPECT_TRUE(contains(out, "Title (String) = Caf\xE9 \"Noir\", Montr\xE9" "al")) << out;
    EXPECT_TRUE(contains(out, "Year (String) = 1947")) << out;
    EXPECT_TRUE(contains(out, "List Price (String) = 12.5")) << out;
    EXPECT_TRUE(contains(out, "Purch Date (String) = 03/05/1997")) << out;
    EXPECT_TRUE(contains(out, "Star 1 (String) = Ren\xE9" "e Z\xFCrich")) << out;
    EXPECT_TRUE(contains(out, "Title (String) = Plain")) << out;
}

TEST_F(ExchangeInterop, OurDbfExportOpensInGdal) {
    if (!haveTool("ogrinfo")) GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    fill();
    exchange::exportDbf(t, dir / "OUT.DBF", {1, 11, 28, 35, 2});
    const std::string out = run("ogrinfo -al -q " + q(dir / "OUT.DBF") + " 2>&1");
    // GDAL turns the Windows-1252 text into UTF-8.
    EXPECT_TRUE(contains(out, "TITLE (String) = Caf\xC3\xA9 \"Noir\", Montr\xC3\xA9" "al")) << out;
    EXPECT_TRUE(contains(out, "YEAR (Integer")) << out;
    EXPECT_TRUE(contains(out, ") = 1947")) << out;
    EXPECT_TRUE(contains(out, ") = 12.5")) << out;
    EXPECT_TRUE(contains(out, "PURCHDATE (Date) = 1997/03/05")) << out;
    EXPECT_TRUE(contains(out, "STAR1 (String) = Ren\xC3\xA9" "e Z\xC3\xBCrich")) << out;
    EXPECT_TRUE(contains(out, "TITLE (String) = Plain")) << out;
}

TEST_F(ExchangeInterop, OurDbfExportOpensInShapelib) {
    if (!haveTool("dbfdump")) GTEST_SKIP() << "dbfdump (shapelib) is not installed";
    fill();
    exchange::exportDbf(t, dir / "OUT.DBF", {1, 11, 28, 35, 2});
    const std::string header = run("dbfdump -h " + q(dir / "OUT.DBF") + " 2>&1");
    for (const char* name : {"TITLE", "YEAR", "LISTPRICE", "PURCHDATE", "STAR1"}) EXPECT_TRUE(contains(header, name)) << name;
    const std::string out = run("dbfdump -m -r " + q(dir / "OUT.DBF") + " 2>&1");
    // dbfdump prints the stored bytes: Windows-1252.
    EXPECT_TRUE(contains(out, "TITLE: Caf\xE9 \"Noir\", Montr\xE9" "al")) << out;
    EXPECT_TRUE(contains(out, "YEAR: 1947")) << out;
    EXPECT_TRUE(contains(out, "LISTPRICE: 12.50")) << out;
    EXPECT_TRUE(contains(out, "PURCHDATE: 19970305")) << out;
    EXPECT_TRUE(contains(out, "STAR1: Ren\xE9" "e Z\xFCrich")) << out;
}

TEST_F(ExchangeInterop, OurDbfExportOpensInLibreOffice) {
    if (!haveTool("soffice")) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    fill();
    exchange::exportDbf(t, dir / "OUT.DBF", {1, 11, 28});
    run("cd " + q(dir) + " && HOME=" + q(dir) +
        " soffice --headless --infilter='dBase:1252' --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir " +
        q(dir / "calc") + " OUT.DBF >/dev/null 2>&1");
    const fs::path saved = dir / "calc" / "OUT.csv";
    if (!fs::exists(saved)) GTEST_SKIP() << "LibreOffice's dBase filter is not installed";
    std::ifstream in(saved, std::ios::binary);
    const std::string csv((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Saved as UTF-8.
    EXPECT_TRUE(contains(csv, "Caf\xC3\xA9 \"\"Noir\"\", Montr\xC3\xA9" "al")) << csv;
    EXPECT_TRUE(contains(csv, "1947")) << csv;
    EXPECT_TRUE(contains(csv, "12.5")) << csv;
}

TEST_F(ExchangeInterop, CsvSavedByLibreOfficeImports) {
    if (!haveTool("soffice")) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    fill();
    exchange::exportText(t, dir / "ours.csv", {1, 11, 28}, nullptr);
    // Calc opens our file as Windows-1252 text and saves it as CSV (its own quoting: numbers
    // unquoted, text quoted only where needed).
    run("cd " + q(dir) + " && HOME=" + q(dir) +
        " soffice --headless --infilter='CSV:44,34,1252' --convert-to 'csv:Text - txt - csv (StarCalc):44,34,1252' "
        "--outdir " + q(dir / "calc") + " ours.csv >/dev/null 2>&1");
    const fs::path saved = dir / "calc" / "ours.csv";
    if (!fs::exists(saved)) GTEST_SKIP() << "LibreOffice could not convert the file";
    Table::createVideoTable(dir / "BACK.DBF");
    Table back;
    back.setPath(dir / "BACK.DBF");
    back.setDateCodec(&dates);
    back.open();
    EXPECT_EQ(exchange::importText(back, saved, {1, 11, 28}, false, dates), 2);
    back.first();
    EXPECT_EQ(back.asString("Title"), "Caf\xE9 \"Noir\", Montr\xE9" "al");
    EXPECT_EQ(back.asString("Year"), "1947");
    EXPECT_EQ(back.asString("ListPrice"), "12.50");
    back.next();
    EXPECT_EQ(back.asString("Title"), "Plain");
}
