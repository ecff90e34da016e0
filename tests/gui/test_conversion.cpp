// The start-up offer to convert a database of an earlier version: the question, Yes appends
// the old records and deletes the old file, No leaves it for the next start.
#include <QLabel>
#include <QtTest>

#include "GuiTestSupport.h"
#include "core/db/Conversion.h"
#include "core/db/Table.h"
#include "gui/app/TMain.h"
#include "gui/db/ConversionCheck.h"

using rv::gui::Answer;
using rv::gui::MainOptions;
using rv::gui::TMain;
using rvtest::Sandbox;
namespace fs = std::filesystem;

namespace {

// A version 2 table in the program folder holding the given titles.
void version2Table(const fs::path& path, const std::vector<std::string>& titles) {
    std::vector<rv::db::FieldSpec> specs{{"ID", rv::db::FieldKind::Text, 4}};
    for (const char* n : {"Title",      "Star1",      "Star2",      "Star3",    "Star4",      "Producer",   "Director",
                          "ReleasedBy", "Year",       "RunTime",    "Rating",   "Category",   "Picture",    "Sound",
                          "Format",     "PersonalRa", "MediaNum",   "RecSpeed", "CounterSta", "CounterSto", "Descriptio",
                          "Content",    "Miscellane", "KeyWords",   "LaserForma", "ListPrice", "OscarNom",  "OscarAward"})
        specs.push_back({n, rv::db::FieldKind::Text, 20});
    rv::db::Table::create(path, specs);
    rv::db::Table t;
    t.setPath(path);
    t.open();
    for (const auto& title : titles) {
        t.append();
        t.setString("Title", title);
        t.post();
    }
}

MainOptions options() {
    MainOptions o;
    o.screenSize = QSize(1024, 768);
    o.checkForConversion = rv::gui::CheckForConversion;
    return o;
}

}  // namespace

class ConversionTest : public QObject {
    Q_OBJECT
private slots:
    void yesConvertsNoKeeps() {
        Sandbox sb;
        rvtest::videoTable(sb.program() / "MASTER.DBF", {"Existing"});
        version2Table(sb.program() / "V2LOG.DBF", {"Old one", "Old two"});
        sb.prompt().answers = {Answer::No};
        {
            TMain w(options());
            const auto messages = sb.prompt().messages();
            QCOMPARE(messages.size(), size_t(1));
            QCOMPARE(messages[0].title, QStringLiteral("Convert"));
            QCOMPARE(messages[0].text, QString::fromLatin1(rv::db::kConvertVersion2Question));
            QCOMPARE(messages[0].buttons, rv::gui::Buttons::YesNo);
            QCOMPARE(w.table().recordCount(), 1);
        }
        QVERIFY(fs::exists(sb.program() / "V2LOG.DBF"));
        sb.prompt().clear();
        sb.prompt().answers = {Answer::Yes};
        TMain w(options());
        QCOMPARE(sb.prompt().messages().size(), size_t(1));
        QCOMPARE(rvtest::titles(w.table()).size(), size_t(3));
        QVERIFY(!fs::exists(sb.program() / "V2LOG.DBF"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.CountLabel->text(), QStringLiteral("3"));
    }
};

QTEST_MAIN(ConversionTest)
#include "test_conversion.moc"
