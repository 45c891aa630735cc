// The object editor as a user works with it: a new contract filled in with
// the in-place editors and pickers and saved in one pass, and an editor
// closed without saving that leaves a file chosen for moving in place.
#include "ViewTestSupport.h"

#include "ui/AddFilesView.h"
#include "ui/DocumentListView.h"
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
#include <QPushButton>

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
        clickItem(window.treeView(), findItem(window.treeView(), QStringLiteral("Contracts")));
        QTRY_COMPARE_WITH_TIMEOUT(window.documentList()->topLevelItemCount(), 1, kTimeout);

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
                QTest::keyClicks(ask->textBox()->lineEdit(), QStringLiteral("Checked in the editor"));
                QTest::keyClick(ask->textBox()->lineEdit(), Qt::Key_Return);
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
            QTest::qWait(200); // painted
            saveShot(editor, "object-editor");
            filledIn = true;
            clickAction(editor, "Save");
        });
        QAction* contractType = nullptr;
        for (QAction* action : window.toolbarAction(1)->menu<QMenu*>()->actions())
            contractType = action->text().startsWith(QStringLiteral("Contract")) ? action : contractType;
        QVERIFY(contractType);
        contractType->trigger(); // the editor opens on the new contract and is driven above
        QVERIFY(filledIn);

        // Everything is on disk, and the page of the new contract shows it.
        const std::string created = window.shownDocument();
        QVERIFY(created.find("Contracts/") != std::string::npos && created.ends_with(".contract"));
        const std::string record = readBytes(created);
        QVERIFY(!chosenDate.empty());
        for (const std::string& stored :
             {std::string("Cleaning 2027"), std::string("VALUE_YES"), chosenDate,
              std::string("System Administrator (ADMINISTRATOR)")})
            QVERIFY2(record.find(stored) != std::string::npos, stored.c_str());
        const std::string base = created.substr(0, created.size() - std::string(".contract").size());
        QVERIFY(readBytes(base + ".comments").find("Checked in the editor") != std::string::npos);
        QVERIFY(readBytes(base + ".attachments").find("Offer") != std::string::npos);
        QVERIFY(readBytes(base + ".scheduler").find("\r\n5\r\n") != std::string::npos);
        const std::string history = readBytes(base + ".history");
        QCOMPARE(std::count(history.begin(), history.end(), '\n'), 4);
        QWebEngineView* page = window.pagePane()->view();
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(page, QStringLiteral("document.body.innerText"))
                                     .toString()
                                     .contains(QStringLiteral("Checked in the editor")),
                                 kTimeout);
        const QString shownText = evaluate(page, QStringLiteral("document.body.innerText")).toString();
        for (const char* shown : {"Cleaning 2027", "System Administrator", "Offer"})
            QVERIFY2(shownText.contains(QString::fromUtf8(shown)), shown);
        QVERIFY(shownText.contains(QString::fromStdString(chosenDate)));
        QTest::qWait(300); // painted
        saveShot(&window, "edited-contract");
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
        clickItem(window.treeView(), findItem(window.treeView(), QStringLiteral("Contracts")));
        DocumentListView* list = window.documentList();
        QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), 1, kTimeout);

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
            clickAction(editor, "Close");
        });
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(attached);
        QCOMPARE(readBytes(chosen), std::string("%PDF quote"));
        QCOMPARE(readBytes(companion), before);
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

int main(int argc, char** argv) {
    quill::ui::PagePane::registerSchemes();
    QApplication app(argc, argv);
    quill::ui::ObjectEditorViewTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "ObjectEditorViewTest.moc"
