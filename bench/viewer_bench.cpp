// reelvane-viewer-bench DB [--where FIELD=CRITERION]: opens the main window on DB offscreen, as
// the program does at start-up (settings, validation, index, the viewer), with --where also
// puts a search by form in force (one row of the Search window, by catalogue field name),
// and prints
//   first_paint_ms=<n> scroll_end_ms=<n> rss_mb=<n>
// first_paint_ms runs from before the main window is created until the grid's first screen
// of rows is painted; scroll_end_ms from the jump to the last row until it is painted.

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/browse/SearchCriteria.h"
#include "core/db/FieldCatalog.h"
#include "gui/app/TMain.h"
#include "gui/browse/Viewer.h"
#include "gui/browse/ViewerGrid.h"

namespace {

long rssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string where;
    if (argc == 4 && std::string(argv[2]) == "--where") where = argv[3];
    if (argc < 2 || (argc != 2 && where.empty())) {
        std::fprintf(stderr, "usage: reelvane-viewer-bench DB [--where FIELD=CRITERION]\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path db = fs::absolute(argv[1]);
    const fs::path config = fs::temp_directory_path() / ("rv_viewer_bench_" + std::to_string(::getpid()));
    fs::create_directories(config / "program");
    {
        std::ofstream ini(config / "RVLVID.INI", std::ios::binary);
        ini << "[Misc]\r\nLast Database=" << db.string() << "\r\nShow Tips=No\r\nWindow Size=1024\r\n"
            << "Main Window Width=1000\r\nMain Window Height=700\r\n";
    }
    ::setenv("REELVANE_CONFIG_DIR", config.c_str(), 1);
    ::setenv("REELVANE_PROGRAM_DIR", (config / "program").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();
    int code = 0;
    {
        rv::gui::MainOptions options;
        options.screenSize = QSize(1280, 1024);
        rv::gui::TMain main(options);
        if (!main.started()) {
            std::fprintf(stderr, "reelvane-viewer-bench: the database did not open\n");
            return 1;
        }
        rv::gui::ViewerGrid* grid = rv::gui::installViewer(main);
        if (!where.empty()) {
            const auto eq = where.find('=');
            const auto field = rv::db::fieldNumber(where.substr(0, eq == std::string::npos ? 0 : eq));
            if (!field) {
                std::fprintf(stderr, "reelvane-viewer-bench: expected FIELD=CRITERION\n");
                return 2;
            }
            const rv::browse::TypedRow typed = rv::browse::typedRow(*field, where.substr(eq + 1));
            rv::browse::SearchLevelRows rows;
            rows.cell(*field) = typed.cell;
            rows.comparison(*field) = typed.comparison;
            rv::browse::SearchCriteria criteria;
            if (!rv::browse::storeLevel(criteria, rows, main.formats().date()).ok() || !main.search().start(criteria)) {
                std::fprintf(stderr, "reelvane-viewer-bench: the search finds nothing\n");
                return 1;
            }
            main.SetViewerOptions();
            main.DisplayCount();
        }
        main.show();
        QApplication::processEvents();
        grid->viewport()->repaint();
        const qint64 firstPaint = timer.elapsed();

        timer.restart();
        grid->scrollToBottom();
        QApplication::processEvents();
        grid->viewport()->repaint();
        const qint64 scrollEnd = timer.elapsed();
        if (grid->model()->rowCount() == 0) code = 1;
        std::printf("first_paint_ms=%lld scroll_end_ms=%lld rss_mb=%ld rows=%d\n", static_cast<long long>(firstPaint),
                    static_cast<long long>(scrollEnd), rssKb() / 1024, grid->model()->rowCount());
    }
    std::error_code ec;
    fs::remove_all(config, ec);
    return code;
}
