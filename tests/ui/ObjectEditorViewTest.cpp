// The object editor as a user works with it: a new contract filled in with
// the in-place editors and pickers and saved in one pass, an editor closed
// without saving that leaves a file chosen for moving in place, the
// question before changes are dropped, and letters the data point cannot
// store refused wherever they are typed.
#include "ViewTestSupport.h"

#include "ui/AddFilesView.h"
#include "ui/DocumentListView.h"
#include "ui/MergeConflictView.h"
#include "ui/ObjectEditorView.h"
#include "ui/OneLineTextView.h"
#include "ui/PagePane.h"
#include "ui/UsersView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

namespace quill::ui {

using namespace test;

namespace {

// Focuses a row of the editor with the mouse and opens its editor with
// Enter.
void openRow(ObjectEditorView* editor, int branch, int row) {
    QTreeWidget* tree = editor->tree();
    clickItem(tree, tree->topLevelItem(branch)->child(row));
    QTest::keyClick(tree, Qt::Key_Return);
}

void typeInto(QComboBox* box, const QString& text) {
    QTest::keyClick(box->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box->lineEdit(), text);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

// Types a new name into the first row, the document's name.
void rename(ObjectEditorView* editor, const QString& name) {
    openRow(editor, 0, 0);
    typeInto(qobject_cast<QComboBox*>(editor->openEditor()), name);
}

// Opens the only document of the focused folder's list in the editor, with
// a click and Enter; returns once the editor has closed.
void openFirstDocument(DocumentListView* list) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 0));
    QTest::keyClick(list, Qt::Key_Return);
}

enum class CloseBy { Escape, CloseButton, WindowClose };

void closeEditorBy(ObjectEditorView* editor, CloseBy how) {
    switch (how) {
    case CloseBy::Escape: QTest::keyClick(editor->tree(), Qt::Key_Escape); break;
    case CloseBy::CloseButton: clickAction(editor, "Close"); break;
    // What the window manager's close button sends.
    case CloseBy::WindowClose: editor->windowHandle()->close(); break;
    }
}

} // namespace

class ObjectEditorViewTest : public QObject {
    Q_OBJECT

private slots:
    void aNewContractIsFilledInAndSavedInOnePass() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string folder = shown.f.dataPoint + "/DataPoint.root/Contracts/";
        const std::string offer = shown.f.dir / "Offer.txt";
        writeBytes(offer, "Cleaning twice a week");
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));

        bool filledIn = false;
        std::string chosenDate;
        whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
            // A text, a yes/no and a date field, each in its own editor.
            openRow(editor, 0, 0);
            auto* name = qobject_cast<QComboBox*>(editor->openEditor());
            QVERIFY(name);
            typeInto(name, QStringLiteral("Cleaning 2027"));
            openRow(editor, 0, 5);
            auto* signedBox = qobject_cast<QComboBox*>(editor->openEditor());
            QVERIFY(signedBox && !signedBox->isEditable());
            QTest::keyClick(signedBox, Qt::Key_Up);
            QTest::keyClick(signedBox, Qt::Key_Return);
            openRow(editor, 0, 6);
            QVERIFY(editor->openEditor());
            auto* date = editor->openEditor()->findChild<QDateEdit*>();
            QVERIFY(date);
            QTest::keyClick(date, Qt::Key_Up);
            chosenDate = date->date().toString(QStringLiteral("d.M.yyyy")).toStdString();
            QTest::keyClick(date, Qt::Key_Return);
            QVERIFY(!editor->openEditor());

            // The owner through the users picker: Anna out, the
            // administrator in.
            whenShown<UsersView>([](UsersView* users) {
                clickRow(users->chosenUsers(), users->chosenUsers()->item(0));
                QTest::mouseClick(users->removeButton(), Qt::LeftButton);
                clickRow(users->allUsers(), userRow(users->allUsers(), QStringLiteral("System")));
                QTest::mouseClick(users->addButton(), Qt::LeftButton);
                clickAction(users, "Ok");
            });
            openRow(editor, 0, 11);

            // A comment, an attachment and a schedule with a reminder.
            whenShown<OneLineTextView>([](OneLineTextView* ask) {
                typeAndEnter(ask->textBox()->lineEdit(), QStringLiteral("Checked in the editor"));
            });
            clickAction(editor, "Comments");
            whenShown<AddFilesView>([&offer](AddFilesView* files) {
                QTest::keyClicks(files->pathBox(), QString::fromStdString(offer));
                typeInto(files->nameBox(), QStringLiteral("Offer"));
                clickAction(files, "Ok");
            });
            clickAction(editor, "Attachments");
            clickAction(editor, "Schedule");
            QCOMPARE(editor->tree()->topLevelItemCount(), 4);
            openRow(editor, 3, 4);
            auto* event = qobject_cast<QComboBox*>(editor->openEditor());
            QVERIFY(event);
            typeInto(event, QStringLiteral("1 hour before"));
            saveShot(editor, "object-editor");
            filledIn = true;
            clickAction(editor, "Save");
        });
        QAction* contractType = newObjectAction(window, QStringLiteral("Contract"));
        QVERIFY(contractType);
        contractType->trigger(); // the editor opens on the new contract and is driven above
        QVERIFY(filledIn);

        // Everything is on disk, and the page of the new contract shows it.
        const std::string created = window.shownDocument();
        QVERIFY(created.find("Contracts/") != std::string::npos && created.ends_with(".contract"));
        const std::string record = readBytes(created);
        QVERIFY(!chosenDate.empty());
        for (const std::string& stored : {std::string("Cleaning 2027"), std::string("VALUE_YES"), chosenDate,
                                          std::string("System Administrator (ADMINISTRATOR)")})
            QVERIFY2(holds(record, stored), stored.c_str());
        const std::string base = created.substr(0, created.size() - std::string(".contract").size());
        QVERIFY(holds(readBytes(base + ".comments"), "Checked in the editor"));
        QVERIFY(holds(readBytes(base + ".attachments"), "Offer"));
        QVERIFY(holds(readBytes(base + ".scheduler"), "\r\n5\r\n"));
        const std::string history = readBytes(base + ".history");
        QCOMPARE(std::count(history.begin(), history.end(), '\n'), 4);
        QWebEngineView* page = window.pagePane()->view();
        QTRY_VERIFY_WITH_TIMEOUT(pageText(page).contains(QStringLiteral("Checked in the editor")), kTimeout);
        const QString shownText = pageText(page);
        for (const char* shown : {"Cleaning 2027", "System Administrator", "Offer"})
            QVERIFY2(shownText.contains(QString::fromUtf8(shown)), shown);
        QVERIFY(shownText.contains(QString::fromStdString(chosenDate)));
        saveShot(&window, "edited-contract");
        QVERIFY(window.close());
    }

    void theDateEditorShowsWholeDatesAndTodayIsOneClick() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        QString stored;
        whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
            openRow(editor, 0, 6);
            auto* date = editor->openEditor() ? editor->openEditor()->findChild<QDateEdit*>() : nullptr;
            QVERIFY(date);
            // The longest month and weekday names, and the date once cut
            // off as "Wednesday, 1 Decen".
            for (const QDate day : {QDate(2027, 12, 1), QDate(2027, 9, 29), QDate(2027, 5, 3)}) {
                QTest::keyClick(date, Qt::Key_Up); // a key, so that the text is laid out anew
                date->setDate(day);
                QCoreApplication::processEvents();
                const QLineEdit* text = date->findChild<QLineEdit*>();
                QVERIFY2(text->width() >= text->fontMetrics().horizontalAdvance(text->text()),
                         qPrintable(text->text()));
            }
            saveShot(editor, "date-editor");
            auto* today = editor->openEditor()->findChild<QToolButton*>("Today");
            QVERIFY(today);
            QCOMPARE(today->text(), QStringLiteral("&Today"));
            QTest::mouseClick(today, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!editor->openEditor(), kTimeout);
            stored = editor->tree()->topLevelItem(0)->child(6)->text(1);
            QTest::keyClick(editor->tree(), Qt::Key_Escape);
        });
        const Answer discard(QStringLiteral("Discard changes"));
        openFirstDocument(window.documentList());
        // The test clock's day, as records store dates.
        QCOMPARE(stored, QStringLiteral("8.12.2026"));
        QVERIFY(window.close());
    }

    void closingWithoutSavingLeavesAFileChosenForMovingInPlace() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string chosen = shown.f.dir / "Quote.pdf";
        writeBytes(chosen, "%PDF quote");
        const std::string companion = shown.f.dataPoint + "/DataPoint.root/Contracts/Supplier.attachments";
        const std::string before = readBytes(companion);
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        DocumentListView* list = window.documentList();

        bool attached = false;
        whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
            whenShown<AddFilesView>([&chosen](AddFilesView* files) {
                QTest::keyClicks(files->pathBox(), QString::fromStdString(chosen));
                QTest::mouseClick(files->moveBox(), Qt::LeftButton);
                QVERIFY(files->moveBox()->isChecked());
                clickAction(files, "Ok");
            });
            clickAction(editor, "Attachments");
            attached = editor->model().rows(EditorBranch::Attachments).size() == 4;
            const Answer discard(QStringLiteral("Discard changes"));
            clickAction(editor, "Close");
        });
        openFirstDocument(list);
        QVERIFY(attached);
        QCOMPARE(readBytes(chosen), std::string("%PDF quote"));
        QCOMPARE(readBytes(companion), before);
        QVERIFY(window.close());
    }

    void closingWithChangesAsksWhetherToSaveThem() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string record = shown.f.dataPoint + "/DataPoint.root/Contracts/Supplier.contract";
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        DocumentListView* list = window.documentList();

        // Each row opens the contract, perhaps renames it, closes the editor
        // one way and answers the question, if one comes. A question that
        // came without a change, or a Cancel that closed, fails its row.
        const struct {
            const char* why;
            bool change;
            CloseBy how;
            const char* answer; // empty: no question expected
            bool staysOpen;
            bool stored;
        } rows[] = {
            {"nothing changed: Escape closes at once", false, CloseBy::Escape, "", false, false},
            {"nothing changed: the close button closes at once", false, CloseBy::CloseButton, "", false, false},
            {"Escape, then Keep editing", true, CloseBy::Escape, "Keep editing", true, false},
            {"the close button, then Discard", true, CloseBy::CloseButton, "Discard changes", false, false},
            {"the window's close, then Keep editing", true, CloseBy::WindowClose, "Keep editing", true, false},
            {"the window's close, then Discard", true, CloseBy::WindowClose, "Discard changes", false, false},
            {"Escape, then Save", true, CloseBy::Escape, "Save", false, true},
        };
        for (const auto& row : rows) {
            const std::string before = readBytes(record);
            const QString name = QStringLiteral("Renamed %1").arg(&row - rows);
            bool ran = false;
            whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
                if (row.change)
                    rename(editor, name);
                {
                    const Answer answer(QString::fromUtf8(row.answer));
                    closeEditorBy(editor, row.how);
                    QCOMPARE(answer.said().isEmpty(), !*row.answer);
                }
                QTRY_COMPARE_WITH_TIMEOUT(editor->isVisible(), row.staysOpen, kTimeout);
                if (row.staysOpen) {
                    // The edit is still there, and still unsaved.
                    QCOMPARE(editor->tree()->topLevelItem(0)->child(0)->text(1), name);
                    QCOMPARE(readBytes(record), before);
                    const Answer discard(QStringLiteral("Discard changes"));
                    clickAction(editor, "Close");
                    QTRY_VERIFY_WITH_TIMEOUT(!editor->isVisible(), kTimeout);
                }
                ran = true;
            });
            openFirstDocument(list);
            QVERIFY2(ran, row.why);
            QVERIFY2((readBytes(record).find(name.toStdString()) != std::string::npos) == row.stored, row.why);
            if (!row.stored)
                QVERIFY2(readBytes(record) == before, row.why);
        }
        QVERIFY(window.close());
    }

    void anotherUsersSaveMeanwhileIsMergedAndOnlyACollisionAsks() {
        if (!test::cliAvailable())
            QSKIP("quill-cli is not built");
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string record = shown.f.dataPoint + "/DataPoint.root/Contracts/Supplier.contract";
        const auto theirSave = [&](const std::string& options) {
            return asAdministrator(shown.f, "edit " + shellWord(record) + " " + options);
        };
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        DocumentListView* list = window.documentList();

        // Different fields: saved together without a question.
        QVERIFY(drive<ObjectEditorView>(
            [&] { openFirstDocument(list); },
            [&](ObjectEditorView* editor) {
                rename(editor, QStringLiteral("My name"));
                QCOMPARE(theirSave("--set 'PARTNER=Their partner' --comment 'Their comment'"), 0);
                clickAction(editor, "Save");
                QTRY_VERIFY_WITH_TIMEOUT(!editor->isVisible(), kTimeout);
            }));
        std::string stored = readBytes(record);
        QVERIFY(holds(stored, "My name"));
        QVERIFY(holds(stored, "Their partner"));
        QVERIFY(!shown.f.ui.messages.empty());
        QVERIFY2(holds(shown.f.ui.messages.back().second, "1 comment"), shown.f.ui.messages.back().second.c_str());

        // The same field: the question shows both values, and the choice
        // is what is stored.
        bool asked = false;
        whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
            rename(editor, QStringLiteral("Mine again"));
            QCOMPARE(theirSave("--set 'NAME=Theirs again'"), 0);
            whenShown<MergeConflictView>([&](MergeConflictView* question) {
                const QList<QLabel*> labels = question->findChildren<QLabel*>();
                const auto shows = [&](const QString& text) {
                    return std::any_of(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == text; });
                };
                QVERIFY(shows(QStringLiteral("Mine again")));
                QVERIFY(shows(QStringLiteral("Theirs again")));
                saveShot(question, "merge-question");
                QTest::mouseClick(question->findChild<QRadioButton*>("KEEP_THEIRS"), Qt::LeftButton);
                QTest::mouseClick(question->findChild<QPushButton*>("Save"), Qt::LeftButton);
                asked = true;
            });
            clickAction(editor, "Save");
            QTRY_VERIFY_WITH_TIMEOUT(!editor->isVisible(), kTimeout);
        });
        openFirstDocument(list);
        QVERIFY(asked);
        stored = readBytes(record);
        QVERIFY(holds(stored, "Theirs again"));
        QVERIFY(!holds(stored, "Mine again"));
        QVERIFY(window.close());
    }

    void anOpenEditorShowsAnotherUsersSaveAndMergesItOnAClick() {
        if (!test::cliAvailable())
            QSKIP("quill-cli is not built");
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string record = shown.f.dataPoint + "/DataPoint.root/Contracts/Supplier.contract";
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        DocumentListView* list = window.documentList();
        QVERIFY(drive<ObjectEditorView>(
            [&] { openFirstDocument(list); },
            [&](ObjectEditorView* editor) {
                QVERIFY(!editor->changedBar()->isVisible());
                rename(editor, QStringLiteral("My name"));
                QCOMPARE(asAdministrator(shown.f, "edit " + shellWord(record) + " --set 'PARTNER=Their partner'"), 0);
                QTRY_VERIFY_WITH_TIMEOUT(editor->changedBar()->isVisible(), kTimeout);
                saveShot(editor, "editor-changed-bar");
                QTest::mouseClick(editor->changedBar()->findChild<QPushButton*>("MergeNow"), Qt::LeftButton);
                QTRY_VERIFY_WITH_TIMEOUT(!editor->changedBar()->isVisible(), kTimeout);
                const QList<QTreeWidgetItem*> partner = editor->tree()->findItems(
                    QStringLiteral("Their partner"), Qt::MatchExactly | Qt::MatchRecursive, 1);
                QCOMPARE(partner.size(), 1);
                QCOMPARE(editor->tree()->topLevelItem(0)->child(0)->text(1), QStringLiteral("My name"));
                clickAction(editor, "Save");
                QTRY_VERIFY_WITH_TIMEOUT(!editor->isVisible(), kTimeout);
            }));
        const std::string stored = readBytes(record);
        QVERIFY(holds(stored, "My name"));
        QVERIFY(holds(stored, "Their partner"));
        QVERIFY(window.close());
    }

    void lettersTheDataPointCannotStoreAreRefusedAndNamed() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string base = shown.f.dataPoint + "/DataPoint.root/Contracts/Supplier";
        const std::string offer = shown.f.dir / "Offer.txt";
        writeBytes(offer, "Cleaning twice a week");
        const auto everything = [&base] {
            return readBytes(base + ".contract") + readBytes(base + ".comments") + readBytes(base + ".attachments");
        };
        const std::string before = everything();
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        DocumentListView* list = window.documentList();

        // Each place where the editor takes typed text, with a letter that
        // code page 1250 lacks. Stored as before, each became '?'.
        const struct {
            const char* where;
            QString typed, named;
            std::function<void(ObjectEditorView*, const QString&)> type;
        } rows[] = {
            {"the in-place editor of the name", QStringLiteral("Greek \u03A9"), QStringLiteral("\u03A9 (U+03A9)"),
             [](ObjectEditorView* editor, const QString& text) {
                 openRow(editor, 0, 0);
                 auto* box = qobject_cast<QComboBox*>(editor->openEditor());
                 QVERIFY(box);
                 QTest::keyClick(box->lineEdit(), Qt::Key_A, Qt::ControlModifier);
                 typeLetters(box->lineEdit(), text);
                 QTest::keyClick(box->lineEdit(), Qt::Key_Return); // refused: the in-place editor stays
                 QVERIFY(editor->openEditor());
                 QTest::keyClick(box->lineEdit(), Qt::Key_Escape);
             }},
            {"a new comment", QStringLiteral("Russian \u041F\u0440\u0438\u0432\u0435\u0442"),
             QStringLiteral("\u041F (U+041F)"),
             [](ObjectEditorView* editor, const QString& text) {
                 bool stayed = false;
                 whenShown<OneLineTextView>([&](OneLineTextView* ask) {
                     typeLetters(ask->textBox()->lineEdit(), text);
                     QTest::keyClick(ask->textBox()->lineEdit(), Qt::Key_Return);
                     stayed = ask->isVisible();
                     clickAction(ask, "Cancel");
                 });
                 clickAction(editor, "Comments");
                 QVERIFY(stayed);
             }},
            {"an attachment's name", QStringLiteral("Offer \u0416"), QStringLiteral("\u0416 (U+0416)"),
             [&offer](ObjectEditorView* editor, const QString& text) {
                 bool stayed = false;
                 whenShown<AddFilesView>([&](AddFilesView* files) {
                     QTest::keyClicks(files->pathBox(), QString::fromStdString(offer));
                     typeLetters(files->nameBox()->lineEdit(), text);
                     clickAction(files, "Ok");
                     stayed = files->isVisible();
                     clickAction(files, "Cancel");
                 });
                 clickAction(editor, "Attachments");
                 QVERIFY(stayed);
             }},
        };
        bool ran = false;
        whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
            for (const auto& row : rows) {
                const Answer ok(QStringLiteral("OK"));
                row.type(editor, row.typed);
                QVERIFY2(ok.said().contains(row.named), row.where);
            }
            // Nothing was taken, so nothing asks to be saved.
            const Answer discard(QStringLiteral("Discard changes"));
            QTest::keyClick(editor->tree(), Qt::Key_Escape);
            QVERIFY2(discard.said().isEmpty(), qPrintable(discard.said()));
            ran = true;
        });
        openFirstDocument(list);
        QVERIFY(ran);
        QCOMPARE(everything(), before);
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::ObjectEditorViewTest)

#include "ObjectEditorViewTest.moc"
