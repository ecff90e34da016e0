// Colour sets and schemes, the Color Configuration window, the font commands, ApplyFonts by
// control kind, dialog placement and the form dimension memory.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <map>

#include "GuiTestSupport.h"
#include "gui/app/TColorConfig.h"
#include "core/app/MainRules.h"
#include "gui/app/TMain.h"
#include "gui/common/Colors.h"
#include "gui/common/Placement.h"

using rv::gui::MainOptions;
using rv::gui::TColorConfig;
using rv::gui::TMain;
using rvtest::Sandbox;
using namespace rv::app;

namespace {

MainOptions options(QSize screen = QSize(1024, 768)) {
    MainOptions o;
    o.screenSize = screen;
    return o;
}

QColor windowColor(QWidget* w) { return w->palette().color(QPalette::Window); }
QColor textColor(QWidget* w) { return w->palette().color(QPalette::WindowText); }

// A dialog with one control of each kind ApplyFonts knows, and two it leaves alone.
struct KindsDialog : QDialog {
    QLabel* label = new QLabel(QStringLiteral("Label"), this);
    QListWidget* list = new QListWidget(this);
    QTableWidget* grid = new QTableWidget(2, 2, this);
    QCheckBox* check = new QCheckBox(QStringLiteral("Check"), this);
    QLineEdit* edit = new QLineEdit(this);
    QRadioButton* radio = new QRadioButton(QStringLiteral("Radio"), this);
    QLineEdit* masked = new QLineEdit(this);
    QPushButton* button = new QPushButton(QStringLiteral("Button"), this);
    QGroupBox* group = new QGroupBox(QStringLiteral("Group"), this);
    QComboBox* combo = new QComboBox(this);
    QToolButton* picture = new QToolButton(this);
    QTableView* view = new QTableView(this);
    KindsDialog() {
        masked->setInputMask(QStringLiteral("99/99/99"));
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPointSize(11);
        setFont(f);
        int y = 0;
        for (QWidget* w : components()) w->setGeometry(10, y += 30, 120, 24);
        resize(300, 420);
    }
    std::vector<QWidget*> components() {
        return {label, list, grid, check, edit, radio, masked, button, group, combo, picture, view};
    }
};

}  // namespace

class ColorsFontsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

    void schemesSetTheDerivedColours() {
        for (int n = 1; n <= 12; ++n) {
            ColorSet set = kDefaultColorSet;
            rv::gui::applyScheme(set, n);
            const auto& s = rv::gui::kColorSchemes[static_cast<std::size_t>(n - 1)];
            QCOMPARE(set[MainBackground], s.mainBackground);
            QCOMPARE(set[EditText], s.editText);
            QCOMPARE(set[ComboBackground], set[EditBackground]);
            QCOMPARE(set[ListBoxBackground], set[EditBackground]);
            QCOMPARE(set[ComboText], set[EditText]);
            QCOMPARE(set[ListBoxText], set[EditText]);
            QCOMPARE(set[RadioBackground], set[MainBackground]);
            QCOMPARE(set[CheckBackground], set[MainBackground]);
            QCOMPARE(set[CheckText], set[RadioText]);
        }
        // The empty entry and numbers outside the table change nothing.
        for (int n : {0, 13, -1}) {
            ColorSet set = kDefaultColorSet;
            rv::gui::applyScheme(set, n);
            QVERIFY(set == kDefaultColorSet);
        }
        QCOMPARE(rv::gui::toQColor(rv::gui::winColor(128, 0, 64)), QColor(128, 0, 64));
        QCOMPARE(rv::gui::toWinColor(QColor(0, 255, 128)), 0 + 256 * 255 + 65536 * 128);
    }

    void midnightBlackOnTheMainWindow() {
        Sandbox sb;
        TMain w(options());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        rvtest::whenModal<TColorConfig>([](TColorConfig& d) {
            QCOMPARE(d.code(), rv::app::ColorWindow::Main);
            d.ColorSets->setCurrentIndex(3);
            d.ColorSetsChange(3);
            QCOMPARE(d.ColorSets->itemText(3), QStringLiteral("Midnight Black"));
            QCOMPARE(windowColor(&d), QColor(0, 0, 0));
            QCOMPARE(textColor(d.Label1), QColor(192, 192, 192));
            QCOMPARE(textColor(d.Label3), QColor(255, 255, 255));
            d.Ok->click();
        });
        w.MenuMainColor->trigger();
        QCOMPARE(windowColor(w.Client), QColor(0, 0, 0));
        QCOMPARE(windowColor(w.ViewerLabel), QColor(0, 0, 0));
        QCOMPARE(textColor(w.ViewerLabel), QColor(192, 192, 192));
        QCOMPARE(textColor(w.NavigatorLabel), QColor(255, 255, 255));
        // Only the main set changed, and it is written with the database's settings.
        QCOMPARE(w.settings().colors[MainWindowColors][MainBackground], 0);
        QVERIFY(w.settings().colors[EditWindowColors] == kDefaultColorSet);
        w.close();
        const std::string ini = rvtest::readText(sb.program() / "MASTER.INI");
        QVERIFY(ini.find("[Main Window Color]\r\nMain Background=0\r\n") != std::string::npos);
    }

    void allWindowsStartsFromTheMainSetAndSetsAllFive() {
        Sandbox sb;
        TMain w(options());
        w.settings().colors[MainWindowColors][MainBackground] = rv::gui::winColor(1, 2, 3);
        w.settings().colors[ReportWindowColors][MainBackground] = rv::gui::winColor(9, 9, 9);
        rvtest::whenModal<TColorConfig>([](TColorConfig& d) {
            QCOMPARE(d.workingSet()[MainBackground], rv::gui::winColor(1, 2, 3));
            d.ColorSetsChange(6);  // Ocean Blue
            d.Ok->click();
        });
        ColorSpeedClick(w);
        ColorSet ocean = kDefaultColorSet;
        rv::gui::applyScheme(ocean, 6);
        for (const auto& set : w.settings().colors) QVERIFY(set == ocean);
        QCOMPARE(windowColor(w.Client), QColor(0, 255, 255));
    }

    void cancelAndColourDialogsChangeNothing() {
        Sandbox sb;
        TMain w(options());
        TColorConfig d(w, rv::app::ColorWindow::Edit);
        // A cancelled colour dialog, then a chosen one.
        sb.prompt().colors = {std::nullopt, QColor(10, 20, 30)};
        d.EditBoxBack->click();
        QVERIFY(d.workingSet() == kDefaultColorSet);
        d.EditBoxBack->click();
        QCOMPARE(d.workingSet()[EditBackground], rv::gui::winColor(10, 20, 30));
        QCOMPARE(d.EditBox->palette().color(QPalette::Base), QColor(10, 20, 30));
        d.Cancel->click();
        QVERIFY(w.settings().colors[EditWindowColors] == kDefaultColorSet);
        // OK with code 2 stores the edit set only and leaves the main window as it was.
        TColorConfig ok(w, rv::app::ColorWindow::Edit);
        ok.ColorSetsChange(11);
        ok.OkClick();
        QCOMPARE(w.settings().colors[EditWindowColors][MainBackground], 0);
        QVERIFY(w.settings().colors[MainWindowColors] == kDefaultColorSet);
    }

    void applyFontsByKind() {
        Settings s;
        s.labelFont.name = "Liberation Sans";
        s.labelFont.bold = true;
        s.editFont.name = "Liberation Mono";
        s.editFont.italic = true;
        s.buttonFont.name = "DejaVu Sans";
        s.buttonFont.underline = true;
        KindsDialog d;
        rv::gui::ApplyFonts(&d, s);
        auto family = [](QWidget* w) { return w->font().family(); };
        for (QWidget* w : std::initializer_list<QWidget*>{d.label, d.list, d.check, d.radio, d.group}) {
            QCOMPARE(family(w), QStringLiteral("Liberation Sans"));
            QVERIFY(w->font().bold());
        }
        for (QWidget* w : std::initializer_list<QWidget*>{d.grid, d.edit, d.masked, d.combo}) {
            QCOMPARE(family(w), QStringLiteral("Liberation Mono"));
            QVERIFY(w->font().italic() && !w->font().bold());
        }
        QCOMPARE(family(d.button), QStringLiteral("DejaVu Sans"));
        QVERIFY(d.button->font().underline());
        // Picture buttons and data grids keep their font; sizes stay as designed.
        QCOMPARE(family(d.picture), QStringLiteral("Liberation Serif"));
        QCOMPARE(family(d.view), QStringLiteral("Liberation Serif"));
        for (QWidget* w : d.components()) QCOMPARE(w->font().pointSize(), 11);
    }

    void fontCommandAppliesToTheMainWindow() {
        Sandbox sb;
        TMain w(options());
        QFont bold(QStringLiteral("Liberation Sans"));
        bold.setPointSize(14);
        bold.setBold(true);
        sb.prompt().fonts = {std::nullopt, bold};
        w.MenuLabelFont->trigger();  // cancelled
        QVERIFY(!w.settings().labelFont.bold);
        w.MenuLabelFont->trigger();
        QVERIFY(w.settings().labelFont.bold);
        QCOMPARE(w.settings().labelFont.name, std::string("Liberation Sans"));
        QVERIFY(w.CountLabel->font().bold());
        QVERIFY(w.NavigatorLabel->font().bold());
        QVERIFY(!w.AddButton->font().bold());
        QCOMPARE(w.CountLabel->font().pixelSize(), 13);  // the designed size stays
        // The style is written with the database's settings.
        w.close();
        const std::string ini = rvtest::readText(sb.program() / "MASTER.INI");
        QVERIFY(ini.find("[Label Font]\r\nFont Name=Liberation Sans\r\nBold=Yes") != std::string::npos);
    }

    void placementScalesAndCentres() {
        Sandbox sb;
        KindsDialog d;
        d.button->setGeometry(40, 100, 80, 32);
        d.setFixedSize(200, 160);
        rv::gui::placeDialog(&d, Settings{}, 1.25, QSize(1024, 768));
        QCOMPARE(d.size(), QSize(250, 200));
        QCOMPARE(d.button->geometry(), QRect(50, 125, 100, 40));
        QCOMPARE(d.font().pointSize(), 14);  // 11 * 1.25, rounded
        QCOMPARE(d.pos(), QPoint((1024 - 250) / 2, (768 - 200) / 2));
        // 1.6 scales by 160/100 exactly.
        QCOMPARE(rv::app::scaleNumerator(1.6), 160);
        QCOMPARE(rv::app::scaleNumerator(1.25), 125);
    }

    // Every control's font is scaled exactly once by the screen factor, whether it has a font
    // of its own (ApplyFonts gives it one) or follows the dialog's.
    void placementScalesEachFontOnce() {
        struct Case {
            double factor;
            int size;  // 11 points scaled
        };
        const Case cases[] = {{1.0, 11}, {1.25, 14}, {1.6, 18}, {2.0, 22}};
        for (const auto& c : cases) {
            Sandbox sb;
            KindsDialog d;
            d.label->setFont(d.label->font());  // one with a font of its own from the start
            rv::gui::placeDialog(&d, Settings{}, c.factor, QSize(1280, 1024));
            QCOMPARE(d.font().pointSize(), c.size);
            for (QWidget* w : d.components())
                QVERIFY2(w->font().pointSize() == c.size,
                         qPrintable(QStringLiteral("%1 at %2: %3").arg(w->metaObject()->className()).arg(c.factor).arg(w->font().pointSize())));
        }
    }

    // The Color Configuration window at every screen size: each button's text fits, each
    // font is the designed one times the factor.
    void colorConfigurationAtEveryScreenSize() {
        struct Case {
            QAction* TMain::*item;
            double factor;
            const char* name;
        };
        const Case cases[] = {{&TMain::N640x480, 1.0, "640"}, {&TMain::N800x600, 1.25, "800"},
                              {&TMain::N1024x768, 1.6, "1024"}, {&TMain::N1280x1024, 2.0, "1280"}};
        for (const auto& c : cases) {
            Sandbox sb;
            TMain w(options(QSize(1280, 1024)));
            (w.*c.item)->trigger();
            QCOMPARE(w.scaleFactor(), c.factor);
            TColorConfig d(w, rv::app::ColorWindow::Main);
            std::map<QWidget*, int> design;
            for (QWidget* x : rv::gui::components(&d)) design[x] = x->font().pointSize();
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            for (const auto& [x, size] : design)
                QVERIFY2(x->font().pointSize() == static_cast<int>(size * c.factor + 0.5),
                         qPrintable(x->objectName() + QStringLiteral(" %1 -> %2").arg(size).arg(x->font().pointSize())));
            for (QPushButton* b : d.findChildren<QPushButton*>()) {
                const QString text = b->text().remove(QLatin1Char('&'));
                QVERIFY2(b->fontMetrics().horizontalAdvance(text) <= b->width() - 6, qPrintable(b->objectName()));
            }
            for (QLabel* l : d.findChildren<QLabel*>())
                QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->objectName()));
            QVERIFY(QRect(QPoint(0, 0), QSize(1280, 1024)).contains(d.frameGeometry()));
            if (qEnvironmentVariableIsSet("REELVANE_SCREENSHOTS"))
                d.grab().save(qEnvironmentVariable("REELVANE_SCREENSHOTS") + QStringLiteral("/colors-%1.png").arg(QString::fromLatin1(c.name)));
            d.reject();
        }
    }

    void formDimensionsKeepALongLivedFormFromGrowing() {
        Sandbox sb;
        KindsDialog d;
        d.resize(300, 420);
        rv::gui::FormDimensions dims;
        rv::gui::SaveFormDimensions(&d, dims);
        const QRect button = d.button->geometry();
        for (int i = 0; i < 3; ++i) rv::gui::RestoreFormDimensions(&d, dims, 2.0, QSize(1280, 1024));
        QCOMPARE(d.size(), QSize(600, 840));
        QCOMPARE(d.button->geometry(), QRect(button.x() * 2, button.y() * 2, button.width() * 2, button.height() * 2));
        QCOMPARE(d.font().pointSize(), 22);
        QVERIFY(sb.prompt().log.empty());
    }

    void tooManyComponentsToSave() {
        Sandbox sb;
        QDialog d;
        for (int i = 0; i < 125; ++i) new QLabel(QString::number(i), &d);
        rv::gui::FormDimensions dims;
        rv::gui::SaveFormDimensions(&d, dims);
        QCOMPARE(sb.prompt().texts(), QStringList{QStringLiteral("Too many compenents to save dimensions.")});
        QCOMPARE(sb.prompt().messages().front().title, QStringLiteral("Error"));
        QCOMPARE(dims.entries.size(), std::size_t(121));
    }

private:
    static void ColorSpeedClick(TMain& w) { w.ColorSpeed->click(); }
};

QTEST_MAIN(ColorsFontsTest)
#include "test_colors_fonts.moc"
