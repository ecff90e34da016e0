// Saves pictures of the main window, the viewer and the windows opened from them as PNG
// files, for looking at the layout as a user would.  Run by scripts/screenshots.sh:
//
//   reelvane_screenshots FOLDER
//
// Each set of pictures runs in a private program and configuration folder with scripted
// prompts, so nothing of the user's own settings is read or changed.
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QtTest>

#include <cstdio>
#include <string>
#include <vector>

#include "core/app/MainRules.h"
#include "core/db/Table.h"
#include "gui/GuiTestSupport.h"
#include "gui/app/TColorConfig.h"
#include "gui/app/TMain.h"
#include "gui/browse/TViewConfig.h"
#include "gui/browse/Viewer.h"
#include "gui/db/TMySortOrder.h"
#include "gui/edit/TMyEdit.h"

namespace {

bool save(QWidget& w, const QString& file) {
    QApplication::processEvents();
    if (w.grab().save(file)) {
        std::printf("%s\n", qPrintable(file));
        return true;
    }
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

rv::gui::MainOptions onScreen(QSize screen) {
    rv::gui::MainOptions o;
    o.screenSize = screen;
    return o;
}

// The main window in its three button-bar modes, with a search in force, and the colour and
// sort-order windows opened from it.
bool mainWindow(const QString& dir) {
    rvtest::Sandbox sb;
    const auto db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"Casablanca", "Vertigo", "Alien"});
    sb.writeProgramIni({{"Last Database", db.string()}});
    rv::gui::TMain w(onScreen(QSize(1280, 1024)));
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) return false;
    bool ok = true;
    QAction* items[] = {w.MenuSpeed, w.MenuButtons, w.MenuNoButtons};
    for (int m = 0; m < 3; ++m) {
        items[m]->trigger();
        ok &= save(w, dir + QStringLiteral("/main_mode%1.png").arg(m + 1));
    }
    w.EnableEndSearch();
    w.MenuSpeed->trigger();
    ok &= save(w, dir + QStringLiteral("/main_search.png"));
    rv::gui::TColorConfig colors(w, rv::app::ColorWindow::Main);
    colors.show();
    if (!QTest::qWaitForWindowExposed(&colors)) return false;
    ok &= save(colors, dir + QStringLiteral("/colors.png"));
    colors.ColorSetsChange(12);
    ok &= save(colors, dir + QStringLiteral("/colors_camouflage.png"));
    colors.reject();
    rv::gui::TMySortOrder sort(w);
    sort.show();
    if (!QTest::qWaitForWindowExposed(&sort)) return false;
    ok &= save(sort, dir + QStringLiteral("/sort.png"));
    return ok;
}

// The viewer over sixty records in each button-bar mode, and every page of its configuration.
bool viewer(const QString& dir) {
    rvtest::Sandbox sb;
    std::vector<std::string> titles;
    for (int i = 0; i < 60; ++i) titles.push_back("Film number " + std::to_string(60 - i));
    rvtest::videoTable(sb.program() / "MASTER.DBF", titles);
    {
        rv::db::Table t;
        t.setPath(sb.program() / "MASTER.DBF");
        t.open();
        for (int rec = 1; rec <= 60; ++rec) {
            t.moveToRecNo(rec);
            t.edit();
            t.setString("Star1", rec % 2 ? "Ingrid Bergman" : "Cary Grant");
            t.setString("Category", rec % 3 ? "Drama" : "Comedy");
            t.setString("Viewed", rec % 4 ? "Yes" : "No");
            t.post();
        }
    }
    rv::gui::TMain main(onScreen(QSize(1280, 1024)));
    rv::gui::installRecordEditor(main);
    rv::gui::installViewer(main);
    main.resize(900, 600);
    main.show();
    if (!QTest::qWaitForWindowExposed(&main)) return false;
    bool ok = true;
    const char* modes[] = {"MenuSpeed", "MenuButtons", "MenuNoButtons"};
    for (int m = 0; m < 3; ++m) {
        main.menuItem(QString::fromLatin1(modes[m]))->trigger();
        ok &= save(main, dir + QStringLiteral("/viewer_mode%1.png").arg(m + 1));
    }
    rv::gui::TViewConfig w(main.settings(), main.scaleFactor(), &main);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) return false;
    for (int page = 0; page < w.Pages->count(); ++page) {
        w.Pages->setCurrentIndex(page);
        ok &= save(w, dir + QStringLiteral("/viewconfig_page%1.png").arg(page + 1));
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: reelvane_screenshots FOLDER\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const bool ok = mainWindow(dir) && viewer(dir);
    return ok ? 0 : 1;
}
