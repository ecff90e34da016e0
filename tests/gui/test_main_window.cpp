#include <QMenuBar>
#include <QtTest>

#include "gui/app/TMain.h"

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithTitleAndMenu() {
        rv::gui::TMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Reelvane Videos 97"));
        QVERIFY(!w.menuBar()->actions().isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
