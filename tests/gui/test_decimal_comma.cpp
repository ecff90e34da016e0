// The program under a decimal-comma locale: the window library sets the C library's locale
// from the environment when the application starts, as it does for the real program, and
// prices still reach the file with a decimal point.
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "GuiTestSupport.h"
#include "core/db/Table.h"
#include "gui/app/TMain.h"
#include "gui/edit/TMyEdit.h"

using rv::gui::TMain;
using rv::gui::TMyEdit;
using rvtest::Sandbox;
namespace fs = std::filesystem;

namespace {

// The N field's bytes exactly as they are in the file.
std::string storedPrice(const fs::path& db, const char* field = "ListPrice") {
    rv::db::Table t;
    t.setPath(db);
    t.setReadOnly(true);
    t.open();
    t.first();
    return t.asStored(t.fieldIndex(field));
}

bool activeEditor(TMyEdit& ed) {
    ed.activateWindow();
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == &ed; });
}

}  // namespace

class DecimalCommaTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setStyle(QStringLiteral("Fusion"));
        if (std::strcmp(std::localeconv()->decimal_point, ",") != 0)
            QSKIP("the de_DE.UTF-8 locale is not installed (localedef -i de_DE -f UTF-8 de_DE.UTF-8)");
    }

    void updateAndExitKeepsThePriceItShowed() {
        Sandbox sb;
        const fs::path db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"Casablanca"});
        {
            rv::db::Table t;
            t.setPath(db);
            t.open();
            t.first();
            t.edit();
            t.setString("ListPrice", "19.95");
            t.post();
        }
        sb.writeProgramIni({{"Last Database", db.string()}});
        std::ofstream(sb.root() / "FILMS.INI", std::ios::binary) << "[Sort Order]\r\nPrimary Sort=0\r\n";
        rv::gui::MainOptions options;
        options.screenSize = QSize(1024, 768);
        TMain w(options);
        rv::gui::installRecordEditor(w);
        w.show();
        // The main window has the keyboard again once the editor has closed.
        auto activate = [&] {
            QTest::qWait(0);  // the editor's hiding is handled first
            w.activateWindow();
            return QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; });
        };

        // Ctrl+E opens the record, Ctrl+U is Update & Exit: nothing typed, twice.
        for (int round = 0; round < 2; ++round) {
            QVERIFY(activate());
            bool shown = false;
            rvtest::whenModal<TMyEdit>([&](TMyEdit& ed) {
                shown = true;
                QVERIFY(activeEditor(ed));
                QCOMPARE(ed.ListPrice->text(), QStringLiteral("19.95"));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::ControlModifier);
                QVERIFY(!ed.isVisible());  // Update & Exit closed it
            });
            QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
            QVERIFY(shown);
            QCOMPARE(storedPrice(db), std::string("          19.95"));
        }

        // A price typed into the box: the Prices page by a click on its tab, the box by a
        // click, the old text selected with Shift+End and typed over.
        rvtest::whenModal<TMyEdit>([&](TMyEdit& ed) {
            QVERIFY(activeEditor(ed));
            QTabBar* tabs = ed.MyTabbedNoteBook->tabBar();
            const int page = ed.MyTabbedNoteBook->indexOf(ed.ListPrice->parentWidget());
            QVERIFY(page >= 0);
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
            QCOMPARE(ed.MyTabbedNoteBook->currentIndex(), page);
            QTest::mouseClick(ed.ListPrice, Qt::LeftButton);
            QTest::keyClick(ed.ListPrice, Qt::Key_Home);
            QTest::keyClick(ed.ListPrice, Qt::Key_End, Qt::ShiftModifier);
            QTest::keyClicks(ed.ListPrice, QStringLiteral("1234.5"));
            QTest::keyClick(ed.ListPrice, Qt::Key_U, Qt::ControlModifier);
            QVERIFY(!ed.isVisible());
        });
        QVERIFY(activate());
        QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(storedPrice(db), std::string("        1234.50"));
        QCOMPARE(storedPrice(db, "PurchPrice"), std::string("           0.00"));
    }
};

int main(int argc, char** argv) {
    // As the program starts under a German desktop; the application object applies it.
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    QApplication app(argc, argv);
    DecimalCommaTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_decimal_comma.moc"
