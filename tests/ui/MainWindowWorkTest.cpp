// A day's work in the main window, with real clicks and keys: a folder's
// documents and their pages, and a form on a page saved into its record.
#include "ViewTestSupport.h"

#include "buildinfo/BuildInfo.h"
#include "navigation/DocumentCommands.h"
#include "ui/DocumentListView.h"
#include "ui/ObjectEditorView.h"
#include "ui/PagePane.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QSystemTrayIcon>

#include <algorithm>
#include <filesystem>
#include <set>

namespace quill::ui {

using namespace test;

class MainWindowWorkTest : public QObject {
    Q_OBJECT

private slots:
    void aFolderShowsItsDocumentsAndAFormOnAPageIsSaved() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        test::SessionFixture& f = shown.f;
        MainWindow& window = *shown.window;
        QWebEngineView* view = window.pagePane()->view();

        // The folder's documents, and the first one's page.
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        DocumentListView* list = window.documentList();
        QCOMPARE(rowText(list, 0), QStringLiteral("Office supplies 2027"));
        QCOMPARE(rowText(list, 0, 2), QStringLiteral("Contract"));
        QVERIFY(list->height() > 0);
        QTRY_VERIFY_WITH_TIMEOUT(holds(window.shownDocument(), "Supplier.contract"), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(view->url().toLocalFile().contains("HTMLparse"), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(centreOf(view, "section.files").x() >= 0, kTimeout);
        saveShot(&window, "contracts");

        // My account: a new telephone typed into the page and saved.
        clickFolder(window, QStringLiteral("My account"));
        QTRY_VERIFY_WITH_TIMEOUT(window.shownDocument().empty() && list->height() == 0, kTimeout);
        QPoint phone;
        QTRY_VERIFY_WITH_TIMEOUT((phone = centreOf(view, "input[name=PHONE]")).x() >= 0, kTimeout);
        QVERIFY(QTest::qWaitFor([&] { return view->focusProxy() != nullptr; }, kTimeout));
        // Input sent before the page is painted is lost: click until the
        // field has the focus.
        const auto focusedField = [&] {
            return evaluate(view, QStringLiteral("document.activeElement && document.activeElement.name")).toString();
        };
        const auto phoneHasFocus = [&] {
            phone = centreOf(view, "input[name=PHONE]");
            QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, phone);
            return QTest::qWaitFor([&] { return focusedField() == QStringLiteral("PHONE"); }, 500);
        };
        QTRY_VERIFY_WITH_TIMEOUT(phoneHasFocus(), kTimeout);
        QWidget* surface = view->focusProxy();
        QTest::keyClick(surface, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(surface, QStringLiteral("555 0142"));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(view, QStringLiteral("document.activeElement.value")).toString(),
                                  QStringLiteral("555 0142"), kTimeout);
        const QPoint save = centreOf(view, "input[type=submit][name=SAVE_DATA]");
        QVERIFY(save.x() >= 0);
        QTest::mouseClick(surface, Qt::LeftButton, {}, save);
        const std::string record = f.dataPoint + "/DataPoint.system/Users/ANNA.user";
        QTRY_VERIFY_WITH_TIMEOUT(holds(test::readBytes(record), "555 0142"), kTimeout);
        // The page is shown again with the stored value.
        QTRY_VERIFY_WITH_TIMEOUT(centreOf(view, "input[name=PHONE][value=\"555 0142\"]").x() >= 0, kTimeout);
        saveShot(&window, "account-saved");

        // A node that stands for a directory lists its files.
        clickFolder(window, QStringLiteral("My file templates"));
        QTRY_VERIFY_WITH_TIMEOUT(centreOf(view, "table.listing").x() >= 0, kTimeout);
        saveShot(&window, "file-templates");
        QVERIFY(window.close());
    }

    void deeperFoldersAreReadAsTheyAreOpenedAndTheTasksCountedMeanwhile() {
        std::string deepTask;
        LoggedOnWindow shown(false, [&deepTask](test::SessionFixture& f) {
            std::string directory = f.dataPoint + "/DataPoint.root";
            for (const char* name : {"Depth1", "Depth2", "Depth3", "Depth4"}) {
                directory += std::string("/") + name;
                std::filesystem::create_directories(directory);
                test::writeBytes(directory + "/folder.folders", "FOLDER.BMP\r\n\r\n\r\n\r\n");
            }
            deepTask = directory + "/Deep task.note";
            test::writeBytes(deepTask, "Deep task\r\n");
            test::writeBytes(directory + "/Deep task.scheduler",
                             "Anna Novak (ANNA)\r\n\r\n24.12.2030\r\n9:00:00\r\n0\r\n");
        });
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QTreeView* tree = window.treeView();
        // The level shown and the one below it, so that it shows arrows.
        QVERIFY(findItem(tree, QStringLiteral("Depth2")).isValid());
        QVERIFY(!findItem(tree, QStringLiteral("Depth3")).isValid());
        // The task four levels down is counted without opening anything.
        auto* status = window.findChild<QLabel*>(QStringLiteral("TaskStatus"));
        QVERIFY(status);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QStringLiteral("Tasks (incoming")), kTimeout);
        QVERIFY(shown.f.session->schedule.find(deepTask) < shown.f.session->schedule.size());
        // The root's page, shown before the count, now shows its figures:
        // all tasks as the status line counts them ("…: 0, 1, 3.").
        const QString all = status->text().section(QLatin1Char(' '), -1).chopped(1);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(window.pagePane()->view(),
                                           QStringLiteral("(function(){var n=document.querySelectorAll('.stat .n');"
                                                          "return n.length ? n[n.length-1].innerText : '';})()"))
                                      .toString(),
                                  all, kTimeout);

        // Opened with the keys, level by level.
        clickItem(tree, findItem(tree, QStringLiteral("Depth1")));
        QTest::keyClick(tree, Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(findItem(tree, QStringLiteral("Depth3")).isValid(), kTimeout);
        clickItem(tree, findItem(tree, QStringLiteral("Depth2")));
        QTest::keyClick(tree, Qt::Key_Right);
        QTRY_VERIFY_WITH_TIMEOUT(findItem(tree, QStringLiteral("Depth4")).isValid(), kTimeout);
        QCOMPARE(findItem(tree, QStringLiteral("Depth4")).parent(), findItem(tree, QStringLiteral("Depth3")));
        saveShot(&window, "deep-folders");

        // Closed with the keys, it stays closed when another folder's
        // refresh shows the tree anew; the one refreshed is opened.
        clickItem(tree, findItem(tree, QStringLiteral("Depth1")));
        QTest::keyClick(tree, Qt::Key_Left);
        QVERIFY(!tree->isExpanded(findItem(tree, QStringLiteral("Depth1"))));
        clickItem(tree, findItem(tree, QStringLiteral("Projects")));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(tree, Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(tree->isExpanded(findItem(tree, QStringLiteral("Projects"))), kTimeout);
        QVERIFY(!tree->isExpanded(findItem(tree, QStringLiteral("Depth1"))));
        QVERIFY(tree->isExpanded(findItem(tree, QStringLiteral("Shared documents"))));
        QVERIFY(window.close());
    }

    void whatAnotherUserSavesShowsWithoutAClick() {
        if (!test::cliAvailable())
            QSKIP("quill-cli is not built");
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        test::SessionFixture& f = shown.f;
        MainWindow& window = *shown.window;
        QWebEngineView* view = window.pagePane()->view();
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        DocumentListView* list = window.documentList();
        QTRY_VERIFY_WITH_TIMEOUT(centreOf(view, "section.files").x() >= 0, kTimeout);

        // Another user renames the contract and adds a comment from another
        // process; then a second document appears in the folder.
        const std::string contract = f.dataPoint + "/DataPoint.root/Contracts/Supplier.contract";
        QCOMPARE(
            asAdministrator(f, "edit " + shellWord(contract) + " --set 'NAME=Renamed elsewhere' --comment 'Seen live'"),
            0);
        QTRY_COMPARE_WITH_TIMEOUT(rowText(list, 0), QStringLiteral("Renamed elsewhere"), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(pageText(view).contains(QStringLiteral("Seen live")), kTimeout);
        QCOMPARE(asAdministrator(f, "new-object --folder " + shellWord(f.dataPoint + "/DataPoint.root/Contracts") +
                                        " --type 8"),
                 0);
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(list), 2, kTimeout);
        QVERIFY(holds(window.shownDocument(), "Supplier.contract"));
        QVERIFY(window.close());
    }

    void whatTheRightsHideIsNeitherInTheTreeNorInTheList() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        test::SessionFixture& f = shown.f;
        MainWindow& window = *shown.window;
        QTreeView* tree = window.treeView();
        DocumentListView* list = window.documentList();
        const std::string projects = f.dataPoint + "/DataPoint.root/Projects";

        QVERIFY(openFolder(window, QStringLiteral("Projects"), 1));
        QCOMPARE(rowText(list, 0), QStringLiteral("Ideas for next year"));

        // Meanwhile the rights change: a new folder for Jan only, one for
        // everybody, and the note handed to someone else of a like name.
        const auto folder = [&](const std::string& name, const std::string& rights) {
            std::filesystem::create_directories(projects + "/" + name);
            writeBytes(projects + "/" + name + "/folder.folders", "FOLDER.BMP\r\n\r\n" + rights + "\r\n\r\n");
        };
        folder("Secret", "Jan Novy (JAN); ");
        folder("Open", "");
        Record ideas;
        QCOMPARE(f.session->readRecord(projects + "/Ideas.note", ideas), RecordRead::Ok);
        QVERIFY(ideas.setValue("RIGHTS", "Anna Novakova (ANNABELLE); "));
        QVERIFY(f.session->writeRecord(ideas, projects + "/Ideas.note"));

        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        clickFolder(window, QStringLiteral("Projects"));
        QTRY_VERIFY_WITH_TIMEOUT(findItem(tree, QStringLiteral("Open")).isValid(), kTimeout);
        QVERIFY(!findItem(tree, QStringLiteral("Secret")).isValid());
        QVERIFY(findItem(tree, QStringLiteral("Website")).isValid());
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(list), 0, kTimeout);
        QVERIFY(window.close());
    }

    void theToolbarMakesANoteAndTheTrashTakesAndEmpties() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        test::SessionFixture& f = shown.f;
        MainWindow& window = *shown.window;
        // Shortcuts reach the active window only.
        QVERIFY(makeActive(&window));
        QTreeView* tree = window.treeView();
        DocumentListView* list = window.documentList();
        const std::string projects = f.dataPoint + "/DataPoint.root/Projects";

        // A new note from the first button's list, in the focused folder.
        QVERIFY(openFolder(window, QStringLiteral("Projects"), 1));
        QToolButton* newButton = toolButton(window, 1);
        QVERIFY(newButton && newButton->isEnabled());
        QAction* note = newObjectAction(window, QStringLiteral("Note"));
        QVERIFY(note);
        // Each new note opens in the editor, saved here as it comes (one
        // closed unsaved would be gone again).
        const auto saveInEditor = [] {
            whenShown<ObjectEditorView>([](ObjectEditorView* editor) {
                QTest::mouseClick(buttonFor(editor, editor->findChild<QAction*>("Save")), Qt::LeftButton);
            });
        };
        saveInEditor();
        note->trigger(); // the menu entry; the button then repeats it
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(list), 2, kTimeout);
        saveInEditor();
        QTest::mouseClick(newButton, Qt::LeftButton, {}, QPoint(8, 8));
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(list), 3, kTimeout);
        QVERIFY(holds(window.shownDocument(), ".note"));
        saveShot(&window, "new-notes");

        // The chosen document goes to the trash with Delete. Shortcuts reach
        // the active window only, and the desktop gives the activation back
        // after the editor closed, as a window manager would.
        QVERIFY(makeActive(&window));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 0));
        const std::string chosen = window.shownDocument();
        answerYesSoon();
        QTest::keyClick(list, Qt::Key_Delete);
        QTRY_VERIFY_WITH_TIMEOUT(!std::filesystem::exists(chosen), kTimeout);
        const std::string trash = trashDirectory(*f.session) + "/";
        QVERIFY(std::filesystem::exists(trash + std::filesystem::path(chosen).filename().string()));

        // Shift+Delete deletes for good, past the trash.
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(list), 2, kTimeout);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 0));
        const std::string forGood = window.shownDocument();
        QVERIFY(forGood != chosen && forGood.ends_with(".note"));
        answerYesSoon();
        QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!std::filesystem::exists(forGood), kTimeout);
        QVERIFY(!std::filesystem::exists(trash + std::filesystem::path(forGood).filename().string()));

        // A folder goes there too, with the toolbar's Delete.
        clickFolder(window, QStringLiteral("Website"));
        answerYesSoon();
        QTest::mouseClick(toolButton(window, 5), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!std::filesystem::exists(projects + "/Website"), kTimeout);
        QVERIFY(std::filesystem::exists(trash + "Website/Kickoff.meeting"));
        const QModelIndex moved = findItem(tree, QStringLiteral("Website"));
        // Shown in the trash, if at all.
        QVERIFY(!moved.isValid() || textOf(moved.parent()) == QStringLiteral("Trash"));

        // Emptying the trash.
        clickFolder(window, QStringLiteral("Trash"));
        QTRY_VERIFY_WITH_TIMEOUT(toolButton(window, 5)->isEnabled(), kTimeout);
        answerYesSoon();
        QTest::mouseClick(toolButton(window, 5), Qt::LeftButton);
        // The mark that makes the trash the program's own stays.
        const auto holdsOnlyItsMark = [&trash] {
            const std::filesystem::directory_iterator items(trash);
            return std::all_of(begin(items), end(items), [](const std::filesystem::directory_entry& item) {
                return item.path().filename() == ".quill-owned";
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(holdsOnlyItsMark(), kTimeout);
        QCOMPARE(textOf(tree->currentIndex()), QStringLiteral("Trash"));
        // The mark is the program's own, never a document of the list.
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(list), 0, kTimeout);
        saveShot(&window, "trash-emptied");
        QVERIFY(window.close());
    }

    void deleteTakesTheFolderClickedOrTheDocumentClickedNeverAMixOfBoth() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(makeActive(&window));
        QTreeView* tree = window.treeView();
        DocumentListView* list = window.documentList();
        const std::string contacts = shown.f.dataPoint + "/DataPoint.root/Contacts";
        const std::string janNovak = contacts + "/Jan Novak.contact";
        const std::string trash = trashDirectory(*shown.f.session) + "/";

        // A click on the folder shows its first document's page, but no row
        // looks chosen: the folder is what Delete takes.
        QVERIFY(openFolder(window, QStringLiteral("Contacts"), 1));
        QTRY_VERIFY_WITH_TIMEOUT(window.shownDocument() == janNovak, kTimeout);
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        // Enter takes the default answer, so a box that offered Yes there
        // would send the folder away and fail below.
        Question asked;
        answerWhenShown(asked, QMessageBox::NoButton, "delete-folder-question");
        QTest::mouseClick(toolButton(window, 5), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!asked.text.isEmpty(), kTimeout);
        QCOMPARE(asked.text, QStringLiteral("Move the folder Contacts with 1 document to the trash?"));
        QCOMPARE(asked.byDefault, QMessageBox::No);
        QVERIFY(std::filesystem::exists(janNovak));
        QVERIFY(std::filesystem::exists(contacts + "/folder.folders"));
        QVERIFY(!std::filesystem::exists(trash + "Contacts"));

        // A click on the row makes the document the target; the folder stays.
        // The desktop gives the activation back after the box closed, as a
        // window manager would.
        QVERIFY(makeActive(&window));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOfRow(list, 0));
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
        answerWhenShown(asked, QMessageBox::Yes);
        QTest::keyClick(list, Qt::Key_Delete);
        QTRY_VERIFY_WITH_TIMEOUT(!std::filesystem::exists(janNovak), kTimeout);
        QCOMPARE(asked.text, QStringLiteral("Move the document Jan Novak to the trash?"));
        QCOMPARE(asked.byDefault, QMessageBox::Yes);
        QVERIFY(std::filesystem::exists(trash + "Jan Novak.contact"));
        QVERIFY(std::filesystem::exists(contacts + "/folder.folders"));
        QVERIFY(!std::filesystem::exists(trash + "Contacts"));
        QVERIFY(findItem(tree, QStringLiteral("Contacts")).isValid());
        QVERIFY(window.close());
    }

    void aMeetingMovedToWithTheKeysIsWhatDeleteForGoodTakes() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(makeActive(&window));
        DocumentListView* list = window.documentList();
        const std::string meetings = shown.f.dataPoint + "/DataPoint.root/Meetings/";

        QVERIFY(openFolder(window, QStringLiteral("Meetings"), 6));
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        // A click below the rows gives the list the focus and chooses
        // nothing; the arrow keys then walk onto a meeting.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(list->viewport()->width() / 2, list->viewport()->height() - 4));
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QTRY_COMPARE_WITH_TIMEOUT(list->selectionModel()->selectedRows().size(), 1, kTimeout);
        const QString chosen = list->selectionModel()->selectedRows().first().data().toString();
        const std::string file =
            list->selectionModel()->selectedRows().first().data(Qt::UserRole).toString().toStdString();
        // Enter takes the default answer, No: nothing is deleted for good
        // in haste.
        Question asked;
        answerWhenShown(asked);
        QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(asked.byDefault, QMessageBox::No);
        QVERIFY(std::filesystem::exists(file));
        QVERIFY(makeActive(&window));
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);

        answerWhenShown(asked, QMessageBox::Yes);
        QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!std::filesystem::exists(file), kTimeout);
        QCOMPARE(asked.text, QStringLiteral("Delete the document %1 for good? This cannot be undone.").arg(chosen));
        QVERIFY(std::filesystem::exists(meetings + "folder.folders"));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(meetings), std::filesystem::directory_iterator()),
                 6);
        QVERIFY(window.close());
    }

    void aNewDocumentClosedUnsavedLeavesNothingBehind() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        DocumentListView* list = window.documentList();
        const std::string contacts = shown.f.dataPoint + "/DataPoint.root/Contacts";
        const auto names = [&] {
            std::set<std::string> found;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(contacts))
                found.insert(entry.path().string());
            return found;
        };

        QVERIFY(openFolder(window, QStringLiteral("Contacts"), 1));
        const std::set<std::string> before = names();
        bool edited = false;
        whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
            // The editor is open on a new record in the folder.
            edited = editor->model().documentPath().starts_with(contacts + "/object") &&
                     std::filesystem::exists(editor->model().documentPath());
            clickAction(editor, "Close");
        });
        QTest::mouseClick(toolButton(window, 1), Qt::LeftButton, {}, QPoint(8, 8));
        QTRY_VERIFY_WITH_TIMEOUT(edited, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!window.objectEditor()->isVisible(), kTimeout);
        QCOMPARE(names(), before);
        QTRY_COMPARE_WITH_TIMEOUT(rowCount(list), 1, kTimeout);
        QVERIFY(window.close());
    }

    void documentsAreDraggedAndSortedInTheList() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        const std::string root = shown.f.dataPoint + "/DataPoint.root/";
        MainWindow& window = *shown.window;
        QTreeView* tree = window.treeView();
        DocumentListView* list = window.documentList();
        const auto rowCentre = [&](int row) { return centreOfRow(list, row); };
        const auto nodeCentre = [&](const char* caption) { return centreOfNode(tree, QString::fromUtf8(caption)); };

        // The contract moves to Projects with its companions and files.
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(0));
        dragAndDrop(list->viewport(), rowCentre(0), tree->viewport(), nodeCentre("Projects"));
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(root + "Projects/Supplier.contract"), kTimeout);
        for (const char* moved : {"Supplier.contract", "Supplier.comments", "Supplier.attachments",
                                  "Attachments.systemfiles/Price list 2027815.DT20.11.20262260.TD.pdf"}) {
            QVERIFY2(std::filesystem::exists(root + "Projects/" + moved), moved);
            QVERIFY2(!std::filesystem::exists(root + "Contracts/" + moved), moved);
        }

        // With Ctrl held it is copied on to Contacts and stays in Projects.
        QVERIFY(openFolder(window, QStringLiteral("Projects"), 2));
        const int contract = rowOfFile(list, QStringLiteral(".contract"));
        QVERIFY(contract >= 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(contract));
        dragAndDrop(list->viewport(), rowCentre(contract), tree->viewport(), nodeCentre("Contacts"),
                    Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(root + "Contacts/Supplier.contract"), kTimeout);
        QVERIFY(
            std::filesystem::exists(root + "Contacts/Attachments.systemfiles/Order form93.DT21.11.20267105.TD.txt"));
        QVERIFY(std::filesystem::exists(root + "Projects/Supplier.contract"));

        // A folder dragged onto the trash goes into it, Ctrl or not.
        clickFolder(window, QStringLiteral("Contacts"));
        dragAndDrop(tree->viewport(), nodeCentre("Contacts"), tree->viewport(), nodeCentre("Trash"),
                    Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!std::filesystem::exists(root + "Contacts"), kTimeout);
        const std::string trash = trashDirectory(*shown.f.session) + "/";
        QVERIFY(std::filesystem::exists(trash + "Contacts/Supplier.contract"));

        // A click on the date heading sorts the meetings by their day,
        // not by the text of it; a second click turns the order.
        QVERIFY(openFolder(window, QStringLiteral("Meetings"), 6));
        QTRY_VERIFY_WITH_TIMEOUT(holds(window.shownDocument(), "Annual review"), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(pageText(window.pagePane()->view()).contains(QStringLiteral("Board room")), kTimeout);
        QHeaderView* heading = list->header();
        const QPoint date(heading->sectionViewportPosition(3) + heading->sectionSize(3) / 2, heading->height() / 2);
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, date);
        QCOMPARE(rowText(list, 0), QStringLiteral("Design workshop"));
        QCOMPARE(rowText(list, 5), QStringLiteral("Safety briefing"));
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, date);
        QCOMPARE(rowText(list, 0), QStringLiteral("Safety briefing"));
        saveShot(&window, "meetings-by-date");
        QVERIFY(window.close());
    }

    void theTrayIconHidesAndShowsTheWindow() {
        // A tray on the virtual display, where the test machine has one.
        QProcess tray;
        tray.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("bottom")});
        if (!tray.waitForStarted(5000) ||
            !QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000))
            QSKIP("no system tray on this display");
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(window.trayIcon());
        QWidget* icon = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (QWidget* widget : QApplication::topLevelWidgets())
                    icon = QByteArray(widget->metaObject()->className()) == "QSystemTrayIconSys" ? widget : icon;
                return icon != nullptr;
            }(),
            kTimeout);
        QTest::mouseClick(icon, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), kTimeout);
        QTest::mouseClick(icon, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible() && !window.isMinimized(), kTimeout);
        QVERIFY(window.close());
        tray.terminate();
        tray.waitForFinished(5000);
    }

    void theMainTreeKeepsTheWidthTheUserDraggedItTo() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        auto* splitter = shown.window->findChild<QSplitter*>(QStringLiteral("MainSplitter"));
        QVERIFY(splitter);
        QSplitterHandle* handle = splitter->handle(1);
        const int before = shown.window->treeView()->width();
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(60, 0));
        QTest::mouseMove(handle, grip + QPoint(120, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(120, 0));
        QTRY_VERIFY_WITH_TIMEOUT(shown.window->treeView()->width() > before + 60, kTimeout);
        const int dragged = shown.window->treeView()->width();
        QVERIFY(shown.window->close());
        QCOMPARE(shown.f.session->context.geometry.guiSplitter, dragged);

        // The next window opens with the tree as wide as it was left.
        MainWindow again(*shown.f.session);
        again.prepareForUser();
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QTRY_VERIFY_WITH_TIMEOUT(std::abs(again.treeView()->width() - dragged) <= 2, kTimeout);
    }

    void hidingFromTheHelpMenuNeverLosesTheWindow() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QToolButton* help = toolButton(window, 9);
        QVERIFY(help);
        // The drop-down arrow opens the menu; its Hide entry is clicked.
        QTimer::singleShot(0, [] { clickMenuItem(QStringLiteral("Hide window")); });
        QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(help->width() - 4, help->height() / 2));
        // Into the tray where there is one, else down to the task bar.
        QTRY_VERIFY_WITH_TIMEOUT(window.trayIcon() ? !window.isVisible() : window.isMinimized(), kTimeout);
        QVERIFY(window.close());
    }

    void aboutNamesThisBuildsVersionAndDate() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QToolButton* help = toolButton(window, 9);
        QVERIFY(help);
        QString said;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            said = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTimer::singleShot(0, [] { clickMenuItem(QStringLiteral("About Quill!")); });
        QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(help->width() - 4, help->height() / 2));
        QTRY_VERIFY_WITH_TIMEOUT(!said.isEmpty(), kTimeout);
        // The version CMake gives and the day of the build, in the machine's
        // short date format (d.M.yyyy here).
        const QString expected = QStringLiteral("Quill! %1, %2.%3.%4")
                                     .arg(QString::fromUtf8(build::kVersion.data(), build::kVersion.size()))
                                     .arg(build::kDay)
                                     .arg(build::kMonth)
                                     .arg(build::kYear);
        QVERIFY2(said.contains(expected), qPrintable(said));
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::MainWindowWorkTest)

#include "MainWindowWorkTest.moc"
