// The record editor: adding, moving, copying and leaving with their questions, the checks,
// browse-only mode, the Enter key, the shared Stars list and the Checked Out memory.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QClipboard>
#include <QTabWidget>
#include <QtTest>

#include <map>
#include <memory>

#include "GuiTestSupport.h"
#include "core/edit/EditorMessages.h"
#include "gui/app/TMain.h"
#include "gui/edit/TMyEdit.h"
#include "gui/common/Placement.h"
#include "gui/common/TypingBox.h"

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
    explicit Program(QStringList args = {}, std::vector<std::string> titles = {"Alpha", "Bravo"},
                     QSize screen = QSize(1024, 768)) {
        db = rvtest::videoTable(sb.root() / "FILMS.DBF", titles);
        sb.writeProgramIni({{"Last Database", db.string()}});
        std::ofstream(sb.root() / "FILMS.INI", std::ios::binary) << "[Sort Order]\r\nPrimary Sort=0\r\n";
        rv::gui::MainOptions options;
        options.arguments = std::move(args);
        options.screenSize = screen;
        main = std::make_unique<TMain>(options);
        editor = rv::gui::installRecordEditor(*main);
    }
    // The same on a 1280 x 1024 screen with the given Screen Size item chosen.
    static std::unique_ptr<Program> sized(QAction* TMain::*item) {
        auto p = std::make_unique<Program>(QStringList{}, std::vector<std::string>{"Alpha", "Bravo"}, QSize(1280, 1024));
        (p->main.get()->*item)->trigger();
        return p;
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

// The first record as it reached the file, read by a table of its own.
struct OnDisk {
    explicit OnDisk(const std::filesystem::path& path) {
        t.setPath(path);
        t.open();
        t.first();
    }
    std::string text(const char* field) const { return t.asString(field); }
    rv::db::Date date(const char* field) const { return t.asDate(field); }
    rv::db::Table t;
};

// Presses Enter in the focused box until the focus reaches `target` (at most once round the
// chain), as a user moving through the editor would.
bool enterUntil(QWidget* target) {
    for (int i = 0; i < 45; ++i) {
        QWidget* target_box = target;
        QWidget* f = QApplication::focusWidget();
        if (f == target_box || (f && f->parentWidget() == target_box) || (f && f->focusProxy() == target_box))
            return true;
        if (!f) return false;
        QTest::keyClick(f, Qt::Key_Return);
    }
    return false;
}

void clickTab(QTabWidget* tabs, int page) {
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(page).center());
}

// The geometry and font size of every component of the editor, by name.
std::map<QString, std::pair<QRect, int>> layoutOf(TMyEdit& ed) {
    std::map<QString, std::pair<QRect, int>> out;
    // The pages themselves are placed by the notebook's layout when shown.
    for (QWidget* w : rv::gui::components(&ed))
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("Page")))
            out[w->objectName()] = {w->geometry(), w->font().pixelSize()};
    return out;
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

    // Opening the editor again after showing another page keeps every box where it was, at
    // every screen size, and typing into a box stores into its own field.
    void reopeningAfterAnotherPageKeepsEveryBoxInPlace() {
        struct Case {
            int page;
            std::function<QWidget*(TMyEdit&)> box;
            const char* field;
            const char* typed;
        };
        const Case cases[] = {
            {0, [](TMyEdit& ed) { return ed.Title; }, "Title", "Casablanca"},
            {1, [](TMyEdit& ed) { return ed.Picture; }, "Picture", "Widescreen"},
            {2, [](TMyEdit& ed) { return ed.MediaNumber; }, "MediaNum", "T-120"},
            {3, [](TMyEdit& ed) { return ed.UserDef1; }, "UserDef1", "Signed"},
        };
        for (QAction* TMain::*size : {&TMain::N640x480, &TMain::N1280x1024}) {
            for (const auto& c : cases) {
                auto program = Program::sized(size);
                Program& p = *program;
                std::map<QString, std::pair<QRect, int>> first;
                p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
                    first = layoutOf(ed);
                    clickTab(ed.MyTabbedNoteBook, c.page);
                    QCOMPARE(ed.MyTabbedNoteBook->currentIndex(), c.page);
                    ed.CancelButton->click();
                });
                for (int again = 0; again < 2; ++again)
                    p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
                        const auto now = layoutOf(ed);
                        for (const auto& [name, was] : first) {
                            QVERIFY2(now.at(name).first == was.first, qPrintable(name + QStringLiteral(" moved")));
                            QVERIFY2(now.at(name).second == was.second, qPrintable(name + QStringLiteral(" font")));
                        }
                        ed.CancelButton->click();
                    });
                p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
                    clickTab(ed.MyTabbedNoteBook, c.page);
                    QWidget* target = rv::gui::textBoxOf(c.box(ed));
                    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(4, target->height() / 2));
                    QTest::keyClick(target, Qt::Key_End, Qt::ShiftModifier);  // over the record's text
                    QTest::keyClicks(target, QString::fromLatin1(c.typed));
                    ed.UpdateExitButton->click();
                });
                OnDisk disk(p.db);
                QCOMPARE(QString::fromStdString(disk.text(c.field)), QString::fromLatin1(c.typed));
            }
        }
    }

    // The date boxes take typing however they get the focus: Enter, Tab, or a click right of
    // the underscores.
    void maskedDateBoxesTakeTypingFromTheirFirstFreePosition() {
        Program p;
        p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
            ed.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&ed));
            QVERIFY(enterUntil(ed.PurchDate));
            QCOMPARE(ed.MyTabbedNoteBook->currentIndex(), 3);
            QTest::keyClicks(ed.PurchDate, QStringLiteral("12251997"));
            QCOMPARE(ed.PurchDate->text(), QStringLiteral("12/25/1997"));
            // A click right of the underscores of the other date box.
            clickTab(ed.MyTabbedNoteBook, 2);
            QTest::mouseClick(ed.CheckDate, Qt::LeftButton, Qt::NoModifier,
                              QPoint(ed.CheckDate->width() - 4, ed.CheckDate->height() / 2));
            QTest::keyClicks(ed.CheckDate, QStringLiteral("03"));
            QCOMPARE(ed.CheckDate->displayText(), QStringLiteral("03/__/____"));
            QTest::mouseClick(ed.CheckDate, Qt::LeftButton, Qt::NoModifier,
                              QPoint(ed.CheckDate->width() - 4, ed.CheckDate->height() / 2));
            QTest::keyClicks(ed.CheckDate, QStringLiteral("041998"));
            QCOMPARE(ed.CheckDate->text(), QStringLiteral("03/04/1998"));
            ed.UpdateExitButton->click();
        });
        QVERIFY(p.sb.prompt().log.empty());
        OnDisk disk(p.db);
        QCOMPARE(disk.date("PurchDate").year, 1997);
        QCOMPARE(disk.date("PurchDate").month, 12);
        QCOMPARE(disk.date("PurchDate").day, 25);
        QCOMPARE(disk.date("CheckDate").year, 1998);
        QCOMPARE(disk.date("CheckDate").day, 4);
    }

    // A box reached by Enter, Tab or a failed check has its text selected: typing replaces it.
    void keyboardFocusSelectsTheWholeText() {
        Program p;
        p.inEditor(p.main->MenuAdd, [&](TMyEdit& ed) {
            ed.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&ed));
            QTest::keyClicks(ed.Title, QStringLiteral("Vertigo"));
            QCOMPARE(ed.PlayTime->text(), QStringLiteral("0"));
            QVERIFY(enterUntil(ed.PlayTime));
            QTest::keyClicks(ed.PlayTime, QStringLiteral("122"));
            QCOMPARE(ed.PlayTime->text(), QStringLiteral("122"));
            // Tab from Counter Start to Counter Stop, which holds text already.
            ed.CounterStop->setText(QStringLiteral("0000"));
            QTest::mouseClick(ed.CounterStart, Qt::LeftButton);
            QTest::keyClick(ed.CounterStart, Qt::Key_Tab);
            QVERIFY(ed.CounterStop->hasFocus());
            QTest::keyClicks(ed.CounterStop, QStringLiteral("1800"));
            QCOMPARE(ed.CounterStop->text(), QStringLiteral("1800"));
            // A failed check puts the focus on the box with its text selected.
            ed.YearReleased->setText(QStringLiteral("19x7"));
            ed.UpdateButton->click();
            QCOMPARE(p.sb.prompt().texts().size(), 1);
            QVERIFY(ed.YearReleased->hasFocus());
            QTest::keyClicks(ed.YearReleased, QStringLiteral("1958"));
            QCOMPARE(ed.YearReleased->text(), QStringLiteral("1958"));
            ed.UpdateExitButton->click();
        });
        QCOMPARE(p.count(), 3);
        QCOMPARE(p.main->table().asNumber("RunTime"), 122.0);
        QCOMPARE(p.main->table().asNumber("Year"), 1958.0);
        QCOMPARE(QString::fromStdString(p.main->table().asString("CounterSto")), QStringLiteral("1800"));
    }

    // Drop-down boxes keep exactly what was typed: no completion, no change of letter case.
    void dropDownsKeepWhatWasTyped() {
        Program p;
        p.editor->lists().setList(6, {"Comedy", "Drama"});
        p.editor->lists().setList(9, {"DVD", "VHS"});
        p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
            clickTab(ed.MyTabbedNoteBook, 1);
            QTest::mouseClick(ed.Category->lineEdit(), Qt::LeftButton);
            QTest::keyClicks(ed.Category, QStringLiteral("comedy"));
            QCOMPARE(ed.Category->currentText(), QStringLiteral("comedy"));
            QTest::keyClick(ed.Category, Qt::Key_Return);  // on to Rating
            QCOMPARE(ed.Category->currentText(), QStringLiteral("comedy"));
            QTest::mouseClick(ed.Format->lineEdit(), Qt::LeftButton);
            QTest::keyClicks(ed.Format, QStringLiteral("d"));
            QCOMPARE(ed.Format->currentText(), QStringLiteral("d"));
            QTest::mouseClick(ed.Sound->lineEdit(), Qt::LeftButton);  // the focus leaves Format
            QCOMPARE(ed.Format->currentText(), QStringLiteral("d"));
            ed.UpdateExitButton->click();
        });
        OnDisk disk(p.db);
        QCOMPARE(QString::fromStdString(disk.text("Category")), QStringLiteral("comedy"));
        QCOMPARE(QString::fromStdString(disk.text("Format")), QStringLiteral("d"));
    }

    // Cut, Copy, Paste and Delete of the Edit menu act on the focused text or drop-down box.
    void editMenuActsOnTheFocusedBox() {
        Program p;
        p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
            ed.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&ed));
            for (QWidget* box : {static_cast<QWidget*>(ed.Director), static_cast<QWidget*>(ed.Writer)}) {
                QLineEdit* e = rv::gui::textBoxOf(box);
                QTest::mouseClick(e, Qt::LeftButton);
                QTest::keyClicks(box, QStringLiteral("Hitchcock"));
                e->selectAll();
                ed.MenuCut->trigger();
                QCOMPARE(e->text(), QString());
                QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Hitchcock"));
                ed.MenuPaste->trigger();
                ed.MenuPaste->trigger();
                QCOMPARE(e->text(), QStringLiteral("HitchcockHitchcock"));
                e->setSelection(0, 9);
                ed.MenuDelete->trigger();
                QCOMPARE(e->text(), QStringLiteral("Hitchcock"));
                QApplication::clipboard()->clear();
                e->selectAll();
                ed.MenuCopy->trigger();
                QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Hitchcock"));
            }
            ed.UpdateExitButton->click();
        });
        OnDisk disk(p.db);
        QCOMPARE(QString::fromStdString(disk.text("Director")), QStringLiteral("Hitchcock"));
        QCOMPARE(QString::fromStdString(disk.text("Writers")), QStringLiteral("Hitchcock"));
    }

    // Each font is scaled once, and once only however often the editor is shown.
    void fontsScaleOnceAtEverySize() {
        struct Case {
            QAction* TMain::*item;
            double factor;
        };
        const Case cases[] = {{&TMain::N640x480, 1.0}, {&TMain::N800x600, 1.25}, {&TMain::N1024x768, 1.6},
                              {&TMain::N1280x1024, 2.0}};
        for (const auto& c : cases) {
            auto program = Program::sized(c.item);
            Program& p = *program;
            QCOMPARE(p.main->scaleFactor(), c.factor);
            const int expected = static_cast<int>(13 * c.factor + 0.5);  // designed at 13 pixels
            for (int shown = 0; shown < 3; ++shown)
                p.inEditor(p.main->MenuEdit, [&](TMyEdit& ed) {
                    for (QWidget* w : {static_cast<QWidget*>(ed.Title), static_cast<QWidget*>(ed.TitleLabel),
                                       static_cast<QWidget*>(ed.Category), static_cast<QWidget*>(ed.UpdateExitButton),
                                       static_cast<QWidget*>(ed.Viewed)})
                        QVERIFY2(w->font().pixelSize() == expected,
                                 qPrintable(w->objectName() + QStringLiteral(" %1").arg(w->font().pixelSize())));
                    const QString caption = ed.UpdateExitButton->text().remove(QLatin1Char('&'));
                    QVERIFY(ed.UpdateExitButton->fontMetrics().horizontalAdvance(caption) <= ed.UpdateExitButton->width() - 8);
                    if (qEnvironmentVariableIsSet("REELVANE_SCREENSHOTS") && shown == 2)
                        for (int i = 0; i < 4; ++i) {
                            ed.MyTabbedNoteBook->setCurrentIndex(i);
                            ed.grab().save(qEnvironmentVariable("REELVANE_SCREENSHOTS") +
                                           QStringLiteral("/editor-%1-page%2.png").arg(c.factor).arg(i));
                        }
                    ed.CancelButton->click();
                });
        }
    }
};

QTEST_MAIN(EditorTest)
#include "test_editor.moc"
