// The report status window over real engines: a completed run, Cancel in the middle of a long
// run, a layout without room; the Qt engines' fonts and the page store against the PDF.
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QtTest>

#include "GuiTestSupport.h"
#include "core/app/Formats.h"
#include "core/reports/ReportRenderer.h"
#include "core/reports/TextFileEngine.h"
#include "gui/reports/TReportForm.h"
#include "print/PageEngines.h"

using namespace rv::reports;

class ReportsTest : public QObject {
    Q_OBJECT

    struct Fixture {
        rvtest::Sandbox box;
        rv::db::Table table;
        rv::app::DisplayFormats formats;
        explicit Fixture(int records) {
            std::vector<std::string> titles;
            for (int i = 0; i < records; ++i) titles.push_back("Video " + std::to_string(1000 + i));
            rvtest::videoTable(box.root() / "V.DBF", titles);
            table.setPath(box.root() / "V.DBF");
            table.open();
        }
        ReportSource source() {
            ReportSource s;
            s.table = &table;
            s.formats = &formats;
            s.sortLevels = {1, 0, 0, 0};
            s.today = "12/11/26";
            return s;
        }
    };

private slots:
    void completedRun() {
        Fixture f(5);
        const auto out = f.box.root() / "r.txt";
        TextFileEngine engine(out, kLetter);
        rv::gui::TReportForm form(nullptr, builtInReports()[0], f.source(), engine);
        QCOMPARE(form.windowTitle(), QStringLiteral("Report Status Screen"));
        QCOMPARE(form.BitBtn1->text(), QStringLiteral("Cancel"));
        form.show();
        QTRY_VERIFY(form.completed());
        QCOMPARE(form.Label1->text(), QStringLiteral("\nReport Completed!"));
        QCOMPARE(form.BitBtn1->text(), QStringLiteral("OK"));
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QVERIFY(!form.cancelled());
        QVERIFY(rvtest::readText(out).find("Video 1004") != std::string::npos);
        QVERIFY(!f.table.controlsDisabled());
    }

    void cancelInTheMiddle() {
        Fixture f(400);
        const auto out = f.box.root() / "r.txt";
        TextFileEngine engine(out, kLetter);
        rv::gui::TReportForm form(nullptr, builtInReports()[4], f.source(), engine);  // Large Report: ~70 pages
        // The run renders a page per event-loop turn; a zero timer watches between those turns
        // and clicks Cancel as the second page is done, however fast the machine is.
        bool wasRunning = false;
        QString progress;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (form.pages() < 2) return;
            watch.stop();
            wasRunning = form.running();
            progress = form.Label1->text();
            QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        });
        watch.start();
        form.show();
        QTRY_VERIFY(!watch.isActive());
        QVERIFY(wasRunning);
        QVERIFY(progress.startsWith(QStringLiteral("Printing Page ")));
        QVERIFY(form.cancelled());
        QCOMPARE(form.Label1->text(), QStringLiteral("\nReport Canceled!"));
        QCOMPARE(form.BitBtn1->text(), QStringLiteral("OK"));
        QVERIFY(form.pages() < 60);
        QVERIFY(!std::filesystem::exists(out));
        QVERIFY(!f.table.controlsDisabled());
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        QVERIFY(!form.isVisible());
    }

    void layoutWithoutRoom() {
        Fixture f(3);
        ReportDefinition d = builtInReports()[4];
        d.bottomMargin = 9;
        rv::print::PageStore store;
        rv::print::PageStoreEngine engine(store, kLetter, false, QStringLiteral("Test Report"));
        rv::gui::TReportForm form(nullptr, d, f.source(), engine);
        form.show();
        QTRY_VERIFY(!form.running() && form.cancelled());
        const auto messages = f.box.prompt().messages();
        QCOMPARE(int(messages.size()), 1);
        QCOMPARE(messages[0].title, QStringLiteral("Error"));
        QCOMPARE(messages[0].text, QStringLiteral("The report layout leaves no room for a record on the page."));
        QCOMPARE(store.count(), 0);
    }

    void fontsResolveToMetricCompatibleFaces() {
        const QFont arial = rv::print::qtFont({"Arial", 8, false, false, false, false, 0});
        const QFont courier = rv::print::qtFont({"Courier New", 10, true, false, false, false, 0});
        QVERIFY2(QFontInfo(arial).family().contains(QStringLiteral("Liberation Sans")), qPrintable(QFontInfo(arial).family()));
        QVERIFY2(QFontInfo(courier).family().contains(QStringLiteral("Liberation Mono")), qPrintable(QFontInfo(courier).family()));
        // The line height every engine paginates with covers the face's own ascent + descent.
        const QFontMetricsF m(arial);
        QVERIFY(std::abs(m.ascent() + m.descent() - lineHeightInches({"Arial", 8}) * rv::print::kUnitsPerInch) < 0.02 * m.height());
    }

    void pageStoreMatchesThePdf() {
        Fixture f(120);
        const auto pdf = f.box.root() / "r.pdf";
        rv::print::PdfEngine pdfEngine(QString::fromStdString(pdf.string()), kA4, false, QStringLiteral("Test Report"));
        ReportRenderer(builtInReports()[1], f.source(), pdfEngine).run();
        rv::print::PageStore store;
        rv::print::PageStoreEngine storeEngine(store, kA4, false, QStringLiteral("Test Report"));
        ReportRenderer(builtInReports()[1], f.source(), storeEngine).run();
        QCOMPARE(store.count(), pdfEngine.pageCount());
        QVERIFY(store.count() >= 2);
        QVERIFY(std::filesystem::file_size(pdf) > 1000);
        // A stored page drawn at screen size holds ink where the first record line is.
        QImage page(595, 842, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        rv::print::drawStoredPage(p, store, 0, QRectF(0, 0, 595, 842));
        p.end();
        int dark = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 128;
        QVERIFY(dark > 2000);
        if (const char* dir = std::getenv("REELVANE_SHOTS")) page.save(QString::fromUtf8(dir) + "/page-store.png");
    }
};

QTEST_MAIN(ReportsTest)
#include "test_reports.moc"
