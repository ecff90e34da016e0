// The data list windows: list maintenance (OK stores, Cancel does not), the default-list
// commands, and the Oscar and Miscellaneous selection.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "GuiTestSupport.h"
#include "core/lists/ListMaintenance.h"
#include "gui/app/TMain.h"
#include "gui/edit/TMyEdit.h"
#include "gui/lists/TMyEditBox.h"
#include "gui/lists/TMyOscarAward.h"

using rv::gui::Answer;
using rv::gui::TMain;
using rv::gui::TMyEdit;
using rv::gui::TMyEditBox;
using rv::gui::TMyOscarAward;
using rvtest::Sandbox;

namespace {

// A main window over FILMS.DBF, whose lists are its own (FILMS.009 exists), with the record
// editor installed; OSCAR.LST and MISC.LST in the program folder.
struct Program {
    Program() {
        db = rvtest::videoTable(sb.root() / "FILMS.DBF", {"Alpha"});
        sb.writeProgramIni({{"Last Database", db.string()}});
        write(sb.root() / "FILMS.009", "VHS\r\n");
        write(sb.root() / "FILMS.002", "Humphrey Bogart\r\n");
        write(sb.root() / "FILMS.001", "Hal B. Wallis\r\n");
        write(sb.program() / "OSCAR.LST", "Best Picture\r\nBest Director\r\nBest Actor\r\n");
        write(sb.program() / "MISC.LST", "Widescreen\r\nClosed Captioned\r\nDubbed\r\n");
        rv::gui::MainOptions options;
        options.screenSize = QSize(1024, 768);
        main = std::make_unique<TMain>(options);
        editor = rv::gui::installRecordEditor(*main);
    }
    static void write(const std::filesystem::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string file(const std::string& name) { return rvtest::readText(sb.root() / name); }

    Sandbox sb;
    std::filesystem::path db;
    std::unique_ptr<TMain> main;
    TMyEdit* editor = nullptr;
};

QStringList shown(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

void add(TMyEditBox& w, const QString& text) {
    w.AddInfo->setText(text);
    w.AddButton->click();
}

}  // namespace

class ListsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

    void starsOkFillsAllSixBoxesAndWritesEveryList() {
        Program p;
        rvtest::whenModal<TMyEditBox>([](TMyEditBox& w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("Edit \"Stars\" List"));
            QCOMPARE(shown(w.TheList), QStringList{QStringLiteral("Humphrey Bogart")});
            QCOMPARE(w.TheList->currentRow(), 0);
            QCOMPARE(w.AddInfo->maxLength(), 25);
            add(w, QStringLiteral("  Ingrid Bergman "));
            add(w, QStringLiteral("Humphrey Bogart"));  // a second, identical entry
            add(w, QStringLiteral("   "));               // nothing, and the box is emptied
            QCOMPARE(w.AddInfo->text(), QString());
            add(w, QStringLiteral("\u4E09\u8239\u6566\u90CE"));  // cannot be stored: refused, kept for correcting
            QCOMPARE(w.AddInfo->text(), QStringLiteral("\u4E09\u8239\u6566\u90CE"));
            QCOMPARE(w.TheList->count(), 3);
            w.AddInfo->clear();
            QCOMPARE(shown(w.TheList), (QStringList{"Humphrey Bogart", "Ingrid Bergman", "Humphrey Bogart"}));
            w.OkButton->click();
        });
        p.main->menuItem(QStringLiteral("MenuMaintainStars"))->trigger();
        for (QComboBox* c : {p.editor->Star1, p.editor->Star2, p.editor->Star3, p.editor->Star4, p.editor->Star5,
                             p.editor->Star6})
            QCOMPARE(c->count(), 3);
        for (int field = 2; field <= 7; ++field) QCOMPARE(p.editor->lists().viewerList(field).size(), std::size_t(3));
        QCOMPARE(p.file("FILMS.002"), std::string("Humphrey Bogart\r\nIngrid Bergman\r\nHumphrey Bogart\r\n"));
        QCOMPARE(p.file("FILMS.001"), std::string("Hal B. Wallis\r\n"));  // all lists rewritten
        QVERIFY(std::filesystem::exists(p.sb.root() / "FILMS.016"));
        QCOMPARE(p.sb.prompt().texts().size(), 1);  // the refused name
    }

    void cancelAfterAddsAndDeletesChangesNothing() {
        Program p;
        const auto before = std::filesystem::last_write_time(p.sb.root() / "FILMS.002");
        rvtest::whenModal<TMyEditBox>([](TMyEditBox& w) {
            add(w, QStringLiteral("Ingrid Bergman"));
            w.TheList->setCurrentRow(0);
            w.DeleteButton->click();
            QCOMPARE(shown(w.TheList), QStringList{QStringLiteral("Ingrid Bergman")});
            w.CancelButton->click();
        });
        p.main->menuItem(QStringLiteral("MenuMaintainStars"))->trigger();
        QCOMPARE(p.editor->lists().list(2), (rv::lists::Entries{"Humphrey Bogart"}));
        QCOMPARE(p.editor->Star3->count(), 1);
        QCOMPARE(std::filesystem::last_write_time(p.sb.root() / "FILMS.002"), before);
        QVERIFY(!std::filesystem::exists(p.sb.root() / "FILMS.016"));
    }

    void deleteSelectsTheNextAndSortAsksFirst() {
        Program p;
        rvtest::whenModal<TMyEditBox>([&](TMyEditBox& w) {
            add(w, QStringLiteral("zebra"));
            add(w, QStringLiteral("Apple"));
            // Deleting the last entry selects the new last.
            w.TheList->setCurrentRow(2);
            w.DeleteButton->click();
            QCOMPARE(w.TheList->currentRow(), 1);
            add(w, QStringLiteral("mango"));
            p.sb.prompt().answers = {Answer::No};
            w.SortButton->click();
            QCOMPARE(shown(w.TheList), (QStringList{"Hal B. Wallis", "zebra", "mango"}));
            QCOMPARE(p.sb.prompt().messages()[0].title, QStringLiteral("Confirm"));
            QCOMPARE(p.sb.prompt().texts(), QStringList{QString::fromLatin1(rv::lists::kSortQuestion.data())});
            QVERIFY(p.sb.prompt().messages()[0].defaultAnswer == Answer::Yes);
            p.sb.prompt().answers = {Answer::Yes};
            w.SortButton->click();
            QCOMPARE(shown(w.TheList), (QStringList{"Hal B. Wallis", "mango", "zebra"}));
            w.OkButton->click();
        });
        p.main->menuItem(QStringLiteral("MenuMaintainProducer"))->trigger();
        // The Producer drop-down of the viewer, which loading never fills, has the list now.
        QCOMPARE(p.editor->lists().viewerList(8), (rv::lists::Entries{"Hal B. Wallis", "mango", "zebra"}));
        QCOMPARE(p.editor->Producer->count(), 3);
    }

    void oscarOkWritesTheProgramFileAndTheDatabaseLists() {
        Program p;
        rvtest::whenModal<TMyEditBox>([](TMyEditBox& w) {
            QCOMPARE(w.windowTitle(), QStringLiteral("Edit \"Oscar Names\" List"));
            QCOMPARE(shown(w.TheList).size(), 3);
            QCOMPARE(w.AddInfo->maxLength(), 110);
            add(w, QStringLiteral("Best Sound"));
            w.OkButton->click();
        });
        p.main->menuItem(QStringLiteral("MenuMaintainOscars"))->trigger();
        QCOMPARE(rvtest::readText(p.sb.program() / "OSCAR.LST"),
                 std::string("Best Picture\r\nBest Director\r\nBest Actor\r\nBest Sound\r\n"));
        QVERIFY(std::filesystem::exists(p.sb.root() / "FILMS.016"));
    }

    void defaultListCommandsAskFirst() {
        Program p;
        p.sb.prompt().answers = {Answer::No, Answer::Yes};
        p.main->MenuSaveDefaults->trigger();
        QCOMPARE(rvtest::readText(p.sb.program() / "STAR.LST"), std::string());  // as shipped: empty
        p.main->MenuSaveDefaults->trigger();
        QCOMPARE(rvtest::readText(p.sb.program() / "STAR.LST"), std::string("Humphrey Bogart\r\n"));
        const auto messages = p.sb.prompt().messages();
        QCOMPARE(messages.size(), std::size_t(2));
        QCOMPARE(messages[0].title, QStringLiteral("Warning"));
        QCOMPARE(messages[0].text, QString::fromLatin1(rv::lists::kSaveDefaultsQuestion.data()));
        QVERIFY(messages[0].defaultAnswer == Answer::No);

        // Load In Defaults: the lists in memory become the defaults; the files follow at the
        // next save.
        Program::write(p.sb.program() / "STAR.LST", "Lauren Bacall\r\n");
        p.sb.prompt().clear();
        p.sb.prompt().answers = {Answer::Yes};
        p.main->MenuLoadDefaults->trigger();
        QCOMPARE(p.sb.prompt().texts(), QStringList{QString::fromLatin1(rv::lists::kLoadDefaultsQuestion.data())});
        QCOMPARE(p.editor->lists().list(2), (rv::lists::Entries{"Lauren Bacall"}));
        QCOMPARE(p.editor->Star6->itemText(0), QStringLiteral("Lauren Bacall"));
        QCOMPARE(p.file("FILMS.002"), std::string("Humphrey Bogart\r\n"));
    }

    void miscSelectionPreselectsWhatTheBoxHolds() {
        Program p;
        {
            TMyOscarAward w(*p.main, rv::lists::SelectionKind::Miscellaneous, "Widescreen, Dubbed, Signed");
            QCOMPARE(w.windowTitle(), QStringLiteral("Miscellaneous"));
            QCOMPARE(shown(w.OscarList), (QStringList{"Closed Captioned", "Dubbed", "Signed", "Widescreen"}));
            QStringList selected;
            for (auto* item : w.OscarList->selectedItems()) selected << item->text();
            selected.sort();
            QCOMPARE(selected, (QStringList{"Dubbed", "Signed", "Widescreen"}));
            QCOMPARE(w.joinedText(), std::string("Dubbed, Signed, Widescreen"));
            QCOMPARE(w.FindMisc("Signed"), 2);
        }
        QCOMPARE(rvtest::readText(p.sb.program() / "MISC.LST"), std::string("Widescreen\r\nClosed Captioned\r\nDubbed\r\n"));

        // Through the editor: OK writes the joined text into the box; an Oscar window opens
        // with nothing selected, so OK empties its box.
        rvtest::whenModal<TMyEdit>([&](TMyEdit& ed) {
            ed.Misc->setText(QStringLiteral("Dubbed"));
            rvtest::whenModal<TMyOscarAward>([](TMyOscarAward& w) {
                w.OscarList->item(0)->setSelected(true);  // Closed Captioned
                w.OkButton->click();
            });
            ed.SelectMisc->click();
            QCOMPARE(ed.Misc->text(), QStringLiteral("Closed Captioned, Dubbed"));

            ed.OscarAward->setText(QStringLiteral("Best Picture"));
            rvtest::whenModal<TMyOscarAward>([](TMyOscarAward& w) {
                QCOMPARE(w.windowTitle(), QStringLiteral("Oscar Awards"));
                QVERIFY(w.OscarList->selectedItems().isEmpty());
                w.OkButton->click();
            });
            ed.SelectOscarAward->click();
            QCOMPARE(ed.OscarAward->text(), QString());

            ed.OscarNom->setText(QStringLiteral("kept"));
            rvtest::whenModal<TMyOscarAward>([](TMyOscarAward& w) { w.CancelButton->click(); });
            ed.SelectOscarNom->click();
            QCOMPARE(ed.OscarNom->text(), QStringLiteral("kept"));
            p.sb.prompt().answers = {Answer::Yes};
            ed.DoExit();
        });
        p.main->MenuEdit->trigger();
    }

    void captionsFitTheirButtons() {
        Program p;
        TMyEditBox box(*p.main, p.editor->lists(), 15);
        TMyOscarAward select(*p.main, rv::lists::SelectionKind::OscarNominations, "");
        for (QDialog* d : std::initializer_list<QDialog*>{&box, &select}) {
            d->show();
            for (QPushButton* b : d->findChildren<QPushButton*>())
                QVERIFY2(b->fontMetrics().horizontalAdvance(b->text().remove(QLatin1Char('&'))) <= b->width() - 8,
                         qPrintable(b->objectName()));
            if (qEnvironmentVariableIsSet("REELVANE_SCREENSHOTS"))
                d->grab().save(qEnvironmentVariable("REELVANE_SCREENSHOTS") + QLatin1Char('/') + d->objectName() +
                               QStringLiteral(".png"));
            d->hide();
        }
    }

    // Ctrl+click on the selected entry clears the selection; Delete then removes nothing.
    // Sorting puts accented entries with their base letter.
    void deleteWithoutSelectionDoesNothingAndSortKeepsAccentsInPlace() {
        Program p;
        rvtest::whenModal<TMyEditBox>([&](TMyEditBox& w) {
            add(w, QStringLiteral("Zed, Adam"));
            add(w, QStringLiteral("\u00C9mile, Paul"));
            add(w, QStringLiteral("Eastwood, Clint"));
            QListWidget* list = w.TheList;
            const QRect first = list->visualItemRect(list->item(0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
            QVERIFY(list->item(0)->isSelected());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, first.center());
            QVERIFY(list->selectedItems().isEmpty());
            QTest::mouseClick(w.DeleteButton, Qt::LeftButton);
            QCOMPARE(list->count(), 4);
            p.sb.prompt().answers = {Answer::Yes};
            QTest::mouseClick(w.SortButton, Qt::LeftButton);
            QCOMPARE(shown(list), (QStringList{"Eastwood, Clint", "\u00C9mile, Paul", "Humphrey Bogart", "Zed, Adam"}));
            // A click selects again and Delete removes that entry.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(2)).center());
            QTest::mouseClick(w.DeleteButton, Qt::LeftButton);
            QCOMPARE(shown(list), (QStringList{"Eastwood, Clint", "\u00C9mile, Paul", "Zed, Adam"}));
            QTest::mouseClick(w.OkButton, Qt::LeftButton);
        });
        p.main->menuItem(QStringLiteral("MenuMaintainStars"))->trigger();
        QCOMPARE(p.file("FILMS.002"), std::string("Eastwood, Clint\r\n\xc9mile, Paul\r\nZed, Adam\r\n"));
    }
};

QTEST_MAIN(ListsTest)
#include "test_lists.moc"
