// Find as a user works with it: a word typed and searched with Enter, each
// matching document listed once, one opened in the editor, another shown
// in its folder, one deleted since the search refused with a warning; a
// long search stopped with Enter, keeping its results; and a letter that
// cannot be stored refused instead of searched as '?'.
#include "ViewTestSupport.h"

#include "ui/DocumentListView.h"
#include "ui/FindView.h"
#include "ui/ObjectEditorView.h"
#include "ui/PagePane.h"

#include <QLabel>
#include <QLineEdit>

#include <filesystem>

namespace quill::ui {

using namespace test;

namespace {

// Opens Find from the toolbar and works in it with what; true once what has
// run to its end without a failed check.
bool inFind(MainWindow& window, std::function<void(FindView*)> what) {
    return drive<FindView>([&] { QTest::mouseClick(toolButton(window, ToolbarButton::Find), Qt::LeftButton); }, what);
}

} // namespace

class FindViewTest : public QObject {
    Q_OBJECT

private slots:
    void aWordIsFoundOpenedAndShownInItsFolder() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(makeActive(&window));

        bool searched = false;
        bool edited = false;
        whenShown<FindView>([&](FindView* find) {
            // One document found is counted in the singular.
            typeAndEnter(find->textBox(), QStringLiteral("workshop"));
            QTRY_VERIFY_WITH_TIMEOUT(!find->searching(), kTimeout);
            QCOMPARE(find->results()->topLevelItemCount(), 1);
            QVERIFY2(find->progress()->text().endsWith(QStringLiteral("; 1 document found")),
                     qPrintable(find->progress()->text()));
            QTest::keyClick(find->textBox(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(find->textBox(), Qt::Key_Delete);

            typeAndEnter(find->textBox(), QStringLiteral("REVIEW"));
            QTRY_VERIFY_WITH_TIMEOUT(!find->searching(), kTimeout);
            QTreeWidget* results = find->results();
            // The contract matches in its comments only, and counts once.
            QCOMPARE(results->topLevelItemCount(), 3);
            QStringList names;
            for (int i = 0; i < results->topLevelItemCount(); ++i)
                names << results->topLevelItem(i)->text(0);
            names.sort();
            QCOMPARE(names, QStringList({"Annual review", "Office supplies 2027", "Weekly review"}));
            QVERIFY2(find->progress()->text().endsWith(QStringLiteral("; 3 documents found")),
                     qPrintable(find->progress()->text()));
            saveShot(find, "find-results");
            searched = true;

            // A double click opens the document in the editor.
            QTreeWidgetItem* weekly = results->findItems(QStringLiteral("Weekly review"), Qt::MatchExactly).first();
            results->scrollToItem(weekly);
            whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
                edited = editor->model().documentPath().ends_with("Weekly review.meeting");
                clickAction(editor, "Close");
            });
            const QPoint row = results->visualItemRect(weekly).center();
            QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, row);
            QTRY_VERIFY_WITH_TIMEOUT(edited, kTimeout);

            // Go to shows the focused document in its folder.
            QTreeWidgetItem* annual = results->findItems(QStringLiteral("Annual review"), Qt::MatchExactly).first();
            QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(annual).center());
            QTest::mouseClick(buttonFor(find, find->goToAction()), Qt::LeftButton, {}, QPoint(8, 8));
        });
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(searched);
        QVERIFY(edited);
        QCOMPARE(textOf(window.treeView()->currentIndex()), QStringLiteral("Meetings"));
        QTRY_VERIFY_WITH_TIMEOUT(window.shownDocument().ends_with("Annual review.meeting"), kTimeout);
        QVERIFY(window.close());
    }

    void goToADocumentGoneSinceTheSearchWarnsAndStays() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string annual = shown.f.dataPoint + "/DataPoint.root/Meetings/Annual review.meeting";
        const QModelIndex before = window.treeView()->currentIndex();
        QVERIFY(inFind(window, [&](FindView* find) {
            typeAndEnter(find->textBox(), QStringLiteral("annual"));
            QTRY_VERIFY_WITH_TIMEOUT(!find->searching(), kTimeout);
            QTreeWidget* results = find->results();
            QTreeWidgetItem* found = results->findItems(QStringLiteral("Annual review"), Qt::MatchExactly).first();
            QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(found).center());
            // Somebody else deletes it meanwhile.
            std::filesystem::remove(annual);
            const std::size_t said = shown.f.ui.messages.size();
            QTest::mouseClick(buttonFor(find, find->goToAction()), Qt::LeftButton, {}, QPoint(8, 8));
            QCOMPARE(shown.f.ui.messages.size(), said + 1);
            const std::string& text = shown.f.ui.messages.back().second;
            QVERIFY2(text.starts_with("This document cannot be shown in the folder tree.") &&
                         text.find("no longer exists") != std::string::npos,
                     text.c_str());
            QVERIFY(find->isVisible());
            find->reject();
        }));
        QCOMPARE(window.treeView()->currentIndex(), before);
        QVERIFY(window.close());
    }

    void aLongSearchIsStoppedAndKeepsWhatItFound() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        // Many notes that all hold the word, in a folder of the tree, and
        // among them large scans without it (sparse files: nothing on the
        // disk), so that the search lasts long enough to be stopped however
        // fast small files are read.
        constexpr int kNotes = 20000;
        const std::string many = shown.f.dataPoint + "/DataPoint.root/Projects/Archive";
        for (int folder = 0; folder < kNotes / 500; ++folder) {
            const std::string directory = many + "/Year " + std::to_string(2000 + folder);
            std::filesystem::create_directories(directory);
            for (int n = 0; n < 500; ++n)
                writeBytes(directory + "/Note " + std::to_string(n) + ".note", "Note\r\nabout the archive\r\n");
            writeBytes(directory + "/Scan.note", "");
            std::filesystem::resize_file(directory + "/Scan.note", std::uintmax_t{256} << 20);
        }
        QVERIFY(inFind(window, [&](FindView* find) {
            typeAndEnter(find->textBox(), QStringLiteral("archive"));
            QTRY_VERIFY_WITH_TIMEOUT(find->results()->topLevelItemCount() > 0, kTimeout);
            QVERIFY(find->searching());
            // Enter stops it from the results the user is looking at.
            QTest::keyClick(find->results(), Qt::Key_Return);
            QVERIFY(!find->searching());
            // What was found before the stop is all shown, and no more.
            QTRY_VERIFY_WITH_TIMEOUT(!find->findAction()->isChecked(), kTimeout);
            const int kept = find->results()->topLevelItemCount();
            QVERIFY2(kept > 0 && kept < kNotes, qPrintable(QString::number(kept)));
            // The walk has been joined: whatever is still queued for the
            // window adds nothing.
            QCoreApplication::processEvents();
            QCOMPARE(find->results()->topLevelItemCount(), kept);
            find->reject();
        }));
        QVERIFY(window.close());
    }

    void aLetterTheDataPointCannotHoldIsNotSearchedAsAQuestionMark() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        // Searched as '?', the letter would find this note.
        writeBytes(shown.f.dataPoint + "/DataPoint.root/Projects/Open question.note", "Note\r\nWhy not?\r\n");
        QVERIFY(inFind(window, [&](FindView* find) {
            const Answer ok(QStringLiteral("OK"));
            typeLetters(find->textBox(), QStringLiteral("\u0416"));
            QTest::keyClick(find->textBox(), Qt::Key_Return);
            QVERIFY2(ok.said().contains(QStringLiteral("\u0416 (U+0416)")), qPrintable(ok.said()));
            QVERIFY(!find->searching());
            QVERIFY(!find->findAction()->isChecked());
            QCOMPARE(find->results()->topLevelItemCount(), 0);
            find->reject();
        }));
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::FindViewTest)

#include "FindViewTest.moc"
