// The record editor: adding, moving, copying and leaving with their questions, the checks,
// browse-only mode, the Enter key, the shared Stars list and the Checked Out memory.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

#include "GuiTestSupport.h"
#include "core/edit/EditorMessages.h"
#include "gui/app/TMain.h"
#include "gui/edit/TMyEdit.h"

using rv::gui::Answer;
using rv::gui::Buttons;
using rv::gui::TMain;
using rv::gui::TMyEdit;
using rvtest::Sandbox;

namespace {

QString q(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<int>(text.size())); }

// A main window over FILMS.DBF (records "Alpha" and "Bravo", no sort order) with the
// record editor installed.
struct Program {
    explicit Program(QStringList args = {}, std::vector<std::string> titles = {"Alpha", "Bravo"}) {
        db = rvtest::videoTable(sb.root() / "FILMS.DBF", titles);
        sb.writeProgramIni({{"Last Database", db.string()}});
        std::ofstream(sb.root() / "FILMS.INI", std::ios::binary) << "[Sort Order]\r\nPrimary Sort=0\r\n";
        rv::gui::MainOptions options;
        options.arguments = std::move(args);
        options.screenSize = QSize(1024, 768);
        main = std::make_unique<TMain>(options);
        editor = rv::gui::installRecordEditor(*main);
    }

    // Runs a main window command that shows the editor, with `act` run inside it.
    void inEditor(QAction* command, std::function<void(TMyEdit&)> act) {
        rvtest::whenModal<TMyEdit>(std::move(act));
        command->trigger();
    }

    int count() { return main->table().recordCount(); }

    Sandbox sb;
    std::filesystem::path db;
    std::unique_ptr<TMain> main;
    TMyEdit* editor = nullptr;
};

void leave(QWidget* box) {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(box, &out);
}

}  // namespace

class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

    void addUpdatesThenEditsTheRecordJustWritten() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            QCOMPARE(ed.windowTitle(), QStringLiteral("Edit"));
            QCOMPARE(ed.MyTabbedNoteBook->currentIndex(), 0);
            QCOMPARE(ed.PlayTime->text(), QStringLiteral("0"));
            QCOMPARE(ed.ListPrice->text(), QStringLiteral("0"));
            ed.Title->setText(QStringLiteral("Casablanca"));
            ed.YearReleased->setText(QStringLiteral("1942"));
            ed.UpdateButton->click();
            QCOMPARE(p.count(), 3);
            QCOMPARE(static_cast<int>(p.main->editorMode()), 2);
            QVERIFY(!ed.ValuesChanged());
            ed.Title->setText(QStringLiteral("Casablanca (1942)"));
            ed.UpdateExitButton->click();
            QVERIFY(!ed.isVisible());
        });
        QCOMPARE(p.count(), 3);
        QCOMPARE(p.main->CountLabel->text(), QStringLiteral("3"));
        QCOMPARE(QString::fromStdString(p.main->table().asString("Title")), QStringLiteral("Casablanca (1942)"));
        QVERIFY(p.sb.prompt().log.empty());
    }

    void aCharacterTheFilesCannotStoreIsRefusedNotMangled() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            ed.Title->setText(QStringLiteral("Tokyo Story"));
            ed.KeyWords->setText(QStringLiteral("Ozu \u6771\u4EAC"));
            ed.MyTabbedNoteBook->setCurrentIndex(0);
            ed.UpdateButton->click();
            QCOMPARE(p.count(), 2);  // nothing written
            const QStringList texts = p.sb.prompt().texts();
            QCOMPARE(texts.size(), 1);
            QVERIFY(texts[0].contains(QStringLiteral("\u6771")));
            QCOMPARE(ed.MyTabbedNoteBook->currentWidget(), ed.KeyWords->parentWidget());
            ed.KeyWords->setText(QStringLiteral("Ozu, caf\u00E9"));
            ed.UpdateButton->click();
            QCOMPARE(p.count(), 3);
            QCOMPARE(p.main->table().asString("KeyWords"), std::string("Ozu, caf\xE9"));
            ed.reject();
        });
    }

    void nextAfterAddAsksEvenWithoutTyping() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            p.sb.prompt().answers = {Answer::No};
            ed.NextButton->click();
            const auto messages = p.sb.prompt().messages();
            QCOMPARE(messages.size(), std::size_t(1));
            QCOMPARE(messages[0].text, q(rv::edit::kNextNotUpdatedQuestion));
            QCOMPARE(messages[0].title, QStringLiteral("Warning"));
            QVERIFY(messages[0].buttons == Buttons::YesNoCancel);
            QVERIFY(messages[0].defaultAnswer == Answer::No);
            QVERIFY(p.sb.prompt().log[0].kind == rv::gui::ScriptedPrompt::Record::Kind::Beep);
            QCOMPARE(p.count(), 2);  // No: nothing added
            QCOMPARE(static_cast<int>(p.main->editorMode()), 2);

            // In edit mode the question comes only when data has changed.
            p.sb.prompt().clear();
            ed.PrevButton->click();
            QVERIFY(p.sb.prompt().log.empty());
            ed.Title->setText(QStringLiteral("Changed"));
            p.sb.prompt().answers = {Answer::Cancel};
            ed.PrevButton->click();
            QCOMPARE(p.sb.prompt().texts(), QStringList{q(rv::edit::kPreviousChangedQuestion)});
            QCOMPARE(ed.Title->text(), QStringLiteral("Changed"));  // Cancel: no move
            p.sb.prompt().answers = {Answer::Yes};
            ed.NextButton->click();  // Yes: the change is written, then the move
            ed.Title->setText(QString());
            p.sb.prompt().answers = {Answer::Yes};
            ed.DoExit();
        });
        QCOMPARE(rvtest::titles(p.main->table()), (std::vector<std::string>{"Changed", "Bravo"}));
    }

    void copyThenExitWithoutChangesAsksNothing() {
        Program p;
        p.inEditor(p.main->MenuCopy, [&](TMyEdit& ed) {
            QCOMPARE(ed.Title->text(), QStringLiteral("Alpha"));
            ed.CancelButton->click();
            QVERIFY(!ed.isVisible());
        });
        QCOMPARE(p.count(), 2);
        QVERIFY(p.sb.prompt().log.empty());

        // Copy, Update: a second record with the same values.
        p.inEditor(p.main->MenuCopy, [&](TMyEdit& ed) { ed.UpdateExitButton->click(); });
        QCOMPARE(rvtest::titles(p.main->table()), (std::vector<std::string>{"Alpha", "Bravo", "Alpha"}));
    }

    void exitAndNewRecordQuestions() {
        Program p;
        p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
            ed.Title->setText(QStringLiteral("Alpha 2"));
            p.sb.prompt().answers = {Answer::No};
            ed.CancelButton->click();
            QCOMPARE(p.sb.prompt().texts(), QStringList{q(rv::edit::kExitQuestion)});
            QVERIFY(p.sb.prompt().messages()[0].buttons == Buttons::YesNo);
            QVERIFY(p.sb.prompt().messages()[0].defaultAnswer == Answer::No);
            QVERIFY(ed.isVisible());  // No keeps the window open

            // New Record: Yes writes the change first, then clears.
            p.sb.prompt().clear();
            p.sb.prompt().answers = {Answer::Yes};
            ed.MenuNew->trigger();
            QCOMPARE(p.sb.prompt().texts(), QStringList{q(rv::edit::kNewRecordQuestion)});
            QCOMPARE(ed.windowTitle(), QStringLiteral("Edit (New Record)"));
            QCOMPARE(ed.Title->text(), QString());
            QCOMPARE(static_cast<int>(p.main->editorMode()), 1);

            // Copy Record with changes: Cancel ends it, nothing changes.
            ed.Title->setText(QStringLiteral("Typed"));
            p.sb.prompt().clear();
            p.sb.prompt().answers = {Answer::Cancel};
            ed.MenuCopyRecord->trigger();
            QCOMPARE(p.sb.prompt().texts(), QStringList{q(rv::edit::kCopyRecordQuestion)});
            QCOMPARE(ed.windowTitle(), QStringLiteral("Edit (New Record)"));

            // The title-bar close asks nothing.
            p.sb.prompt().clear();
            ed.close();
            QVERIFY(!ed.isVisible());
            QVERIFY(p.sb.prompt().log.empty());
        });
        QCOMPARE(rvtest::titles(p.main->table()), (std::vector<std::string>{"Alpha 2", "Bravo"}));
    }

    void firstFailedCheckDecidesMessageAndPage() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            ed.YearReleased->setText(QStringLiteral("19x7"));
            ed.CheckDate->setText(QStringLiteral("44/44/44"));
            ed.UpdateButton->click();
            QCOMPARE(p.sb.prompt().texts(), QStringList{q(rv::edit::kInvalidCheckDate)});
            QCOMPARE(p.sb.prompt().messages()[0].title, QStringLiteral("Error"));
            QCOMPARE(ed.MyTabbedNoteBook->currentIndex(), 2);

            p.sb.prompt().clear();
            ed.CheckDate->clear();
            ed.PurchDate->setText(QStringLiteral("2/30/97"));
            ed.UpdateButton->click();
            QCOMPARE(p.sb.prompt().texts(), QStringList{q(rv::edit::kInvalidPurchDate)});
            QCOMPARE(ed.MyTabbedNoteBook->currentIndex(), 3);

            p.sb.prompt().clear();
            ed.PurchDate->clear();
            ed.ListPrice->setText(QStringLiteral("12."));
            ed.UpdateButton->click();
            QCOMPARE(p.sb.prompt().texts(), QStringList{q(rv::edit::kInvalidListPrice)});
            QCOMPARE(ed.ListPrice->text(), QStringLiteral("12."));  // left as typed
            QCOMPARE(p.count(), 2);
            QCOMPARE(static_cast<int>(p.main->editorMode()), 1);
            ed.BlankPurchDate->click();
            ed.ListPrice->setText(QString());
            ed.YearReleased->setText(QStringLiteral("1997"));
            p.sb.prompt().clear();
            ed.UpdateExitButton->click();
            QVERIFY(p.sb.prompt().log.empty());
        });
        QCOMPARE(p.count(), 3);
        QCOMPARE(p.main->table().asNumber("ListPrice"), 0.0);  // an empty price is 0
    }

    void priceBoxIsReformattedOnLeaving() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            ed.ListPrice->setText(QStringLiteral("1234.5"));
            leave(ed.ListPrice);
            QCOMPARE(ed.ListPrice->text(), QStringLiteral("1,234.50"));
            ed.PurchPrice->setText(QStringLiteral("abc"));
            leave(ed.PurchPrice);
            QCOMPARE(ed.PurchPrice->text(), QStringLiteral("abc"));
            ed.Title->setText(QStringLiteral("Gone With the Wind"));
            leave(ed.Title);
            QCOMPARE(ed.WorthItem->text(), QStringLiteral("Title: Gone With the Wind"));
        });
    }

    void browseModeNeverAsksAndCannotWrite() {
        Program p({QStringLiteral("/BROWSE")});
        p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
            QVERIFY(!ed.UpdateButton->isEnabled());
            QVERIFY(!ed.UpdateExitButton->isEnabled());
            QVERIFY(!ed.ClearButton->isEnabled());
            QVERIFY(!ed.MenuNew->isEnabled() && !ed.MenuUpdate->isEnabled() && !ed.MenuPaste->isEnabled());
            QVERIFY(ed.MenuCopyRecord->isEnabled() && ed.MenuNext->isEnabled() && ed.MenuExit->isEnabled());
            ed.Title->setText(QStringLiteral("Typed"));
            ed.MenuCopyRecord->trigger();
            ed.Title->setText(QStringLiteral("Typed again"));
            ed.NextButton->click();
            QCOMPARE(ed.Title->text(), QStringLiteral("Bravo"));
            ed.Title->setText(QStringLiteral("Typed"));
            ed.PrevButton->click();
            ed.Title->setText(QStringLiteral("Typed"));
            ed.CancelButton->click();
            QVERIFY(!ed.isVisible());
        });
        QVERIFY(p.sb.prompt().log.empty());
        QCOMPARE(rvtest::titles(p.main->table()), (std::vector<std::string>{"Alpha", "Bravo"}));
    }

    void enterMovesAlongTheChainAndWrapsToTitle() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            ed.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&ed));
            const auto& chain = ed.enterChain();
            QCOMPARE(chain.size(), std::size_t(40));
            QCOMPARE(chain.front().box, static_cast<QWidget*>(ed.Title));
            QCOMPARE(chain.back().box, static_cast<QWidget*>(ed.UserDef2));

            ed.MyTabbedNoteBook->setCurrentIndex(3);
            ed.UserDef2->setFocus();
            QTest::keyClick(ed.UserDef2, Qt::Key_Return);
            QCOMPARE(ed.MyTabbedNoteBook->currentIndex(), 0);
            QVERIFY(ed.Title->hasFocus());
            QTest::keyClick(ed.Title, Qt::Key_Enter);
            QVERIFY(ed.Star1->hasFocus());
            // From ReleasedBy (a drop-down, through its own line edit) to page 1.
            ed.ReleasedBy->setFocus();
            QTest::keyClick(ed.ReleasedBy->lineEdit(), Qt::Key_Return);
            QCOMPARE(ed.MyTabbedNoteBook->currentIndex(), 1);
            QVERIFY(ed.Category->hasFocus());
            // On a button Enter is swallowed: nothing is pressed.
            ed.UpdateButton->setFocus();
            QTest::keyClick(ed.UpdateButton, Qt::Key_Return);
            QCOMPARE(p.count(), 2);
            // The window's shortcuts win over the box's own keys: Ctrl+E is New Record.
            ed.Title->setFocus();
            ed.Title->setText(QStringLiteral("x"));
            p.sb.prompt().answers = {Answer::No};
            QTest::keyClick(ed.Title, Qt::Key_E, Qt::ControlModifier);
            QCOMPARE(ed.windowTitle(), QStringLiteral("Edit (New Record)"));
            QCOMPARE(ed.Title->text(), QString());
        });
    }

    void starTypedInOneBoxIsOfferedInAllSix() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            ed.Star4->setEditText(QStringLiteral(" Ingrid Bergman"));
            ed.Category->setEditText(QStringLiteral("Drama"));
            ed.UpdateButton->click();
            for (QComboBox* c : {ed.Star1, ed.Star2, ed.Star3, ed.Star4, ed.Star5, ed.Star6})
                QVERIFY2(c->findText(QStringLiteral("Ingrid Bergman")) >= 0, qPrintable(c->objectName()));
            QCOMPARE(ed.Star4->currentText(), QStringLiteral(" Ingrid Bergman"));  // the box keeps what was typed
            QCOMPARE(ed.Star1->currentText(), QString());
            ed.Star1->setEditText(QStringLiteral("Ingrid Bergman"));
            ed.UpdateExitButton->click();
        });
        // Closing the editor writes the lists: the name once.
        QCOMPARE(rvtest::readText(p.sb.root() / "FILMS.002"), std::string("Ingrid Bergman\r\n"));
        QVERIFY(rvtest::readText(p.sb.root() / "FILMS.006").find("Drama\r\n") != std::string::npos);
        const auto& lists = p.editor->lists();
        QCOMPARE(lists.viewerList(5), (rv::lists::Entries{"Ingrid Bergman"}));  // MyComboStar4
        QCOMPARE(lists.viewerList(2), (rv::lists::Entries{"Ingrid Bergman"}));  // MyComboStar1
        QVERIFY(lists.viewerList(3).empty());
    }

    void checkedOutRemembersDateAndPerson() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            ed.CheckOut->setChecked(true);
            ed.CheckDate->setText(QStringLiteral("3/5/97"));
            ed.CheckName->setEditText(QStringLiteral("Rick"));
            ed.UpdateButton->click();
            QVERIFY(p.sb.prompt().log.empty());
            ed.LoadInData();  // the remembered check-out is what the record shows
            ed.CheckOut->click();
            QVERIFY(!ed.CheckOut->isChecked());
            QCOMPARE(ed.CheckDate->text(), QStringLiteral("//"));
            QCOMPARE(ed.CheckName->currentText(), QString());
            ed.CheckOut->click();
            QCOMPARE(ed.CheckDate->text(), QStringLiteral("3/5/97"));
            QCOMPARE(ed.CheckName->currentText(), QStringLiteral("Rick"));
            ed.CheckDate->setText(QStringLiteral("3/6/97"));
            ed.UpdateExitButton->click();
        });
        QCOMPARE(p.main->table().asString("CheckOut"), std::string("Yes"));
        QCOMPARE(p.main->table().asDate("CheckDate"), (rv::db::Date{1997, 3, 6}));
    }

    void editOnAnEmptyTableAddsTheRecord() {
        Program p({}, {});
        p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
            QCOMPARE(ed.Title->text(), QString());
            ed.Title->setText(QStringLiteral("First"));
            ed.UpdateExitButton->click();
        });
        QCOMPARE(rvtest::titles(p.main->table()), (std::vector<std::string>{"First"}));
    }

    void deleteAsksAndRecounts() {
        Program p;
        p.sb.prompt().answers = {Answer::No, Answer::Yes};
        p.main->MenuDelete->trigger();
        QCOMPARE(p.count(), 2);
        p.main->MenuDelete->trigger();
        QCOMPARE(p.count(), 1);
        const auto messages = p.sb.prompt().messages();
        QCOMPARE(messages.size(), std::size_t(2));
        QCOMPARE(messages[0].title, QStringLiteral("Confirm"));
        QCOMPARE(messages[0].text, QStringLiteral("Delete this record?"));
        QVERIFY(messages[0].defaultAnswer == Answer::Yes && messages[0].icon == rv::gui::Icon::None);
        QCOMPARE(p.main->CountLabel->text(), QStringLiteral("1"));
    }

    void labelsAndCaptionsFitTheirControls() {
        Program p;
        p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
            for (QLabel* l : ed.findChildren<QLabel*>()) {
                if (l == ed.WarrantyItem || l == ed.LibraryItem || l == ed.WorthItem) continue;
                QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->objectName()));
            }
            for (QAbstractButton* b : ed.findChildren<QAbstractButton*>()) {
                const int room = b->width() - (qobject_cast<QCheckBox*>(b) ? 24 : 8);
                QVERIFY2(b->fontMetrics().horizontalAdvance(b->text().remove(QLatin1Char('&'))) <= room,
                         qPrintable(b->objectName()));
            }
            // Every box on its page, inside the notebook.
            for (int p = 0; p < 4; ++p) {
                QWidget* page = ed.MyTabbedNoteBook->widget(p);
                for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    QVERIFY2(page->rect().contains(w->geometry()), qPrintable(w->objectName()));
            }
            if (qEnvironmentVariableIsSet("REELVANE_SCREENSHOTS")) {
                for (int i = 0; i < 4; ++i) {
                    ed.MyTabbedNoteBook->setCurrentIndex(i);
                    ed.grab().save(qEnvironmentVariable("REELVANE_SCREENSHOTS") + QStringLiteral("/editor-page%1.png").arg(i));
                }
            }
        });
    }
};

QTEST_MAIN(EditorTest)
#include "test_editor.moc"
