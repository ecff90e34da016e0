#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include "GuiTestSupport.h"
#include "core/app/Settings.h"
#include "gui/app/TMain.h"
#include "gui/browse/TViewConfig.h"
#include "gui/browse/Viewer.h"
#include "gui/edit/TMyEdit.h"
#include "gui/browse/VideoTableModel.h"
#include "gui/browse/ViewerGrid.h"

using rv::gui::TViewConfig;
using rv::gui::VideoTableModel;
using rv::gui::ViewerGrid;

class ViewerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<rvtest::Sandbox> box;
    rv::db::Table table;

private slots:
    void init() {
        box = std::make_unique<rvtest::Sandbox>();
        auto path = rvtest::videoTable(box->root() / "V.DBF", {"Casablanca", "Am\xE9lie", "Zelig", "Annie Hall"});
        table.setPath(path);
        table.open();
    }
    void cleanup() {
        table.close();
        box.reset();
    }

    void modelPassesQtsModelChecks() {
        VideoTableModel model(table);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(rv::browse::viewerColumns(rv::app::Settings{}));
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 40);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Title"));
        QCOMPARE(model.headerData(18, Qt::Horizontal).toString(), QStringLiteral("Media #"));
        QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("Am\u00E9lie"));
        QCOMPARE(model.data(model.index(2, 10)).toString(), QStringLiteral("1992"));

        // Changes through the table reach the model: a deleted record leaves, an order arrives.
        table.moveToRecNo(3);
        table.deleteRecord();
        QCOMPARE(model.rowCount(), 3);
        table.orderBy("Upper(Left(Title,80))");
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Am\u00E9lie"));
        QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("Casablanca"));
    }

    void gridShowsTheConfiguredColumnsAndLook() {
        rv::app::Settings s;
        s.displayFields[2] = false;
        s.fieldOrder[1] = 2;
        s.fieldOrder[2] = 3;
        s.fieldOrder[3] = 1;
        s.displayNames[3] = "Co-star";
        s.fieldWidths[1] = 30;
        s.rowIndicator = false;
        s.gridShowTitles = false;
        s.gridTitleAlignment = 3;
        VideoTableModel model(table);
        ViewerGrid grid;
        grid.applyOptions(model, s, false);
        QCOMPARE(model.columnCount(), 39);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Co-star"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Title"));
        QVERIFY(grid.columnWidth(1) > grid.columnWidth(0));
        QVERIFY(grid.verticalHeader()->isHidden());
        QVERIFY(grid.horizontalHeader()->isHidden());
        QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        // The grid's current row is the table's current record, both ways.
        table.moveToRecNo(3);
        QCOMPARE(grid.currentIndex().row(), 2);
        grid.setCurrentIndex(model.index(1, 0));
        QCOMPARE(table.recNo(), 2);
    }

    void fieldEditingTogglesCheckBoxesAndStoresCells() {
        rv::app::Settings s;
        s.fieldEditing = true;
        VideoTableModel model(table);
        ViewerGrid grid;
        grid.applyOptions(model, s, /*browseMode=*/true);
        const int viewed = 36;  // column of Viewed (field 37) in catalogue order
        QVERIFY(!(model.flags(model.index(0, viewed)) & Qt::ItemIsUserCheckable));  // browse mode holds editing off
        QVERIFY(s.fieldEditing);

        grid.applyOptions(model, s, false);
        QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectItems);
        QVERIFY(model.flags(model.index(0, viewed)) & Qt::ItemIsUserCheckable);
        QCOMPARE(model.data(model.index(0, viewed), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(model.setData(model.index(0, viewed), Qt::Checked, Qt::CheckStateRole));
        table.moveToRecNo(1);
        QCOMPARE(table.asString("Viewed"), std::string("Yes"));
        QVERIFY(model.setData(model.index(0, viewed), Qt::Unchecked, Qt::CheckStateRole));
        table.moveToRecNo(1);
        QCOMPARE(table.asString("Viewed"), std::string("No"));

        QVERIFY(model.setData(model.index(3, 0), QStringLiteral("Annie Hall (1977)")));
        table.moveToRecNo(4);
        QCOMPARE(table.asString("Title"), std::string("Annie Hall (1977)"));

        // A character the files cannot store is refused with a message, nothing written.
        QString error;
        model.setErrorHandler([&](const QString& e) { error = e; });
        QVERIFY(!model.setData(model.index(3, 0), QStringLiteral("\u6771\u4EAC")));
        QVERIFY(!error.isEmpty());
        table.moveToRecNo(4);
        QCOMPARE(table.asString("Title"), std::string("Annie Hall (1977)"));
    }

    void configurationWindowRefusesDuplicateNamesThenStores() {
        rv::app::Settings s;
        TViewConfig w(s, 1.0);
        QCOMPARE(w.Pages->currentIndex(), 5);  // opens on the names page
        w.FieldNameGrid->item(3, 1)->setText(QString());
        w.FieldNameGrid->item(30, 1)->setText(QString());
        w.FieldWidthGrid->item(0, 1)->setText(QStringLiteral("abc"));
        w.FieldWidthGrid->item(1, 1)->setText(QStringLiteral("12a"));
        w.Pages->setCurrentIndex(0);
        w.show();
        w.ExitButton->click();
        QVERIFY(w.isVisible());  // stays open
        QCOMPARE(box->prompt().texts(),
                 QStringList{QStringLiteral("Two field names have the same name \"\".  Please change one.")});
        QCOMPARE(w.Pages->currentIndex(), 5);
        QCOMPARE(s.fieldWidths[1], 15);  // nothing stored yet

        w.FieldNameGrid->item(30, 1)->setText(QStringLiteral("\u8CDE"));  // no Windows-1252 form: refused
        w.ExitButton->click();
        QVERIFY(w.isVisible());
        QCOMPARE(box->prompt().texts().size(), 2);
        QCOMPARE(w.FieldNameGrid->currentRow(), 30);

        w.FieldNameGrid->item(30, 1)->setText(QStringLiteral("Award"));
        w.close();  // the close box behaves like Exit
        QVERIFY(!w.isVisible());
        QCOMPARE(s.displayNames[4], std::string(""));
        QCOMPARE(s.displayNames[31], std::string("Award"));
        QCOMPARE(s.fieldWidths[1], 10);
        QCOMPARE(w.FieldWidthGrid->item(0, 1)->text(), QStringLiteral("10"));
        QCOMPARE(s.fieldWidths[2], 12);
    }

    void configurationWindowTogglesOrdersAndChangesAtOnce() {
        rv::app::Settings s;
        TViewConfig w(s, 1.0);
        w.FieldEditing->setChecked(true);  // check boxes change the settings at once
        QVERIFY(s.fieldEditing);
        w.TitleLeft->setChecked(true);
        QCOMPARE(s.gridTitleAlignment, 1);

        QTableWidget* show = w.FieldsToDisplay;
        emit show->cellDoubleClicked(4, 1);
        QCOMPARE(show->item(4, 1)->text(), QStringLiteral("No"));
        emit show->cellDoubleClicked(4, 1);
        QCOMPARE(show->item(4, 1)->text(), QStringLiteral("Yes"));
        emit show->cellDoubleClicked(6, 1);
        emit show->cellDoubleClicked(6, 0);  // the name column does not toggle
        QCOMPARE(show->item(6, 1)->text(), QStringLiteral("No"));

        w.FieldOrderGrid->setCurrentCell(0, 0);
        w.OrderUp->click();  // already first: nothing moves
        w.OrderDown->click();
        QCOMPARE(w.FieldOrderGrid->item(1, 0)->text(), QStringLiteral("Title"));
        QCOMPARE(w.FieldOrderGrid->currentRow(), 1);
        box->prompt().answers.push_back(rv::gui::Answer::No);
        w.OrderDefaults->click();
        QCOMPARE(w.FieldOrderGrid->item(1, 0)->text(), QStringLiteral("Title"));
        box->prompt().answers.push_back(rv::gui::Answer::Yes);
        w.OrderDefaults->click();
        QCOMPARE(w.FieldOrderGrid->item(0, 0)->text(), QStringLiteral("Title"));
        QCOMPARE(box->prompt().messages().back().title, QStringLiteral("Re-Order"));
        w.FieldOrderGrid->setCurrentCell(0, 0);
        w.OrderDown->click();
        w.accept();
        QVERIFY(!s.displayFields[7]);
        QCOMPARE(s.fieldOrder[1], 2);
        QCOMPARE(s.fieldOrder[2], 1);
    }

    void mainWindowShowsTheDatabaseInTheViewer() {
        table.close();
        rvtest::videoTable(box->program() / "MASTER.DBF", {"Casablanca", "Am\xE9lie", "Zelig"});
        {
            rv::db::Table t;
            t.setPath(box->program() / "MASTER.DBF");
            t.open();
            t.moveToRecNo(1);
            t.edit();
            t.setDate("PurchDate", rv::db::Date{1997, 3, 5});
            t.post();
        }
        rv::gui::TMain main;
        QVERIFY(main.started());
        rv::gui::installRecordEditor(main);
        rv::gui::ViewerGrid* grid = rv::gui::installViewer(main);
        QCOMPARE(main.viewerGrid(), static_cast<QTableView*>(grid));
        // The Category drop-down offers the database's list; Producer's starts empty.
        QVERIFY(grid->entriesProvider()(14).contains(QStringLiteral("Drama")));
        QVERIFY(grid->entriesProvider()(8).isEmpty());
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(grid->model()->columnCount(), 40);
        QVERIFY(main.menuItem(QStringLiteral("MenuViewer"))->isEnabled());

        // A new date format shows in the grid at once: 3/5/97 becomes 5/3/1997.
        const int purchDate = 34;  // column of Purch Date (field 35)
        QCOMPARE(grid->model()->data(grid->model()->index(0, purchDate)).toString(), QStringLiteral("3/5/97"));
        main.menuItem(QStringLiteral("MenuDateDMYSlashYr"))->trigger();
        QCOMPARE(grid->model()->data(grid->model()->index(0, purchDate)).toString(), QStringLiteral("5/3/1997"));

        // The Viewer command: hide Title in the configuration window, and the grid follows.
        rvtest::whenModal<TViewConfig>([](TViewConfig& w) {
            emit w.FieldsToDisplay->cellDoubleClicked(0, 1);
            w.ExitButton->click();
        });
        main.menuItem(QStringLiteral("MenuViewer"))->trigger();
        QVERIFY(!main.settings().displayFields[1]);
        QCOMPARE(grid->model()->columnCount(), 39);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Star 1"));
    }

    // The in-place drop-down editors of the pick-list columns store exactly what was typed:
    // no completion to a list entry, no change of letter case, nothing lost on the way to the
    // file. Started with F2 and ended with Enter, or started by typing and ended by a click
    // on another row.
    void dropDownCellsStoreWhatWasTyped() {
        table.close();
        rvtest::videoTable(box->program() / "MASTER.DBF", {"Annie Hall", "Casablanca", "Zelig"});
        rv::gui::TMain main;
        QVERIFY(main.started());
        rv::gui::TMyEdit* editor = rv::gui::installRecordEditor(main);
        editor->lists().setList(6, {"Comedy", "Drama"});
        editor->lists().setList(9, {"DVD", "VHS"});
        rv::gui::ViewerGrid* grid = rv::gui::installViewer(main);
        main.settings().fieldEditing = true;
        main.SetViewerOptions();
        main.resize(900, 600);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));

        QAbstractItemModel* model = grid->model();
        auto columnOf = [&](const QString& title) {
            for (int c = 0; c < model->columnCount(); ++c)
                if (model->headerData(c, Qt::Horizontal).toString() == title) return c;
            return -1;
        };
        auto clickCell = [&](int row, int column) {
            const QModelIndex cell = model->index(row, column);
            grid->scrollTo(cell);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
            QCOMPARE(grid->currentIndex(), cell);
        };
        auto onDisk = [&](const std::string& title, const char* field) {
            rv::db::Table t;
            t.setPath(box->program() / "MASTER.DBF");
            t.open();
            for (t.first(); !t.eof(); t.next())
                if (t.asString("Title") == title) return QString::fromStdString(t.asString(field));
            return QStringLiteral("<no record>");
        };
        const int category = columnOf(QStringLiteral("Category"));
        const int format = columnOf(QStringLiteral("Format"));
        QVERIFY(category >= 0 && format >= 0);
        QCOMPARE(model->data(model->index(0, 0)).toString(), QStringLiteral("Annie Hall"));
        QVERIFY(grid->entriesProvider()(14).contains(QStringLiteral("Comedy")));

        // Category of Annie Hall: F2, "comedy", Enter.
        clickCell(0, category);
        QTest::keyClick(grid, Qt::Key_F2);
        auto* combo = grid->findChild<QComboBox*>();
        QVERIFY(combo && combo->isVisible());
        QVERIFY(combo->lineEdit()->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("comedy"));
        QCOMPARE(combo->currentText(), QStringLiteral("comedy"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!grid->findChild<QComboBox*>() || !grid->findChild<QComboBox*>()->isVisible());
        QCOMPARE(model->data(model->index(0, category)).toString(), QStringLiteral("comedy"));
        QCOMPARE(onDisk("Annie Hall", "Category"), QStringLiteral("comedy"));

        // Format of Casablanca: typing "d" opens the editor, a click on another row ends it.
        clickCell(1, format);
        QTest::keyClicks(grid, QStringLiteral("d"));
        combo = grid->findChild<QComboBox*>();
        QVERIFY(combo && combo->isVisible());
        QCOMPARE(combo->currentText(), QStringLiteral("d"));
        clickCell(2, 0);
        QCOMPARE(model->data(model->index(1, format)).toString(), QStringLiteral("d"));
        QCOMPARE(onDisk("Casablanca", "Format"), QStringLiteral("d"));
        QCOMPARE(onDisk("Zelig", "Format"), QString());
        QVERIFY(box->prompt().texts().isEmpty());

        // After closing and reopening the program the cells still hold what was typed.
        main.close();
        QCOMPARE(onDisk("Annie Hall", "Category"), QStringLiteral("comedy"));
        QCOMPARE(onDisk("Casablanca", "Format"), QStringLiteral("d"));
    }
};

QTEST_MAIN(ViewerTest)
#include "test_viewer.moc"
