// The main window without a mouse: the menu bar and its access keys, F1,
// the context menus' keys, cut, copy and paste of documents and folders,
// the editor's first row and the focus in the page.
#include "ViewTestSupport.h"

#include "ui/DocumentListView.h"
#include "ui/FindView.h"
#include "ui/ObjectEditorView.h"
#include "ui/PagePane.h"

#include <QMenuBar>

#include <filesystem>

namespace quill::ui {

using namespace test;

namespace {

// Every entry of menu and of its submenus has an access key of its own
// within its menu; what is wrong is described in problems.
void checkAccessKeys(const QMenu* menu, QStringList& problems) {
    QSet<QChar> taken;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        const QChar key = accessKey(action->text());
        if (key.isNull())
            problems << QStringLiteral("%1: no access key").arg(action->text());
        else if (taken.contains(key))
            problems << QStringLiteral("%1: access key taken in %2").arg(action->text(), menu->title());
        taken.insert(key);
        if (action->menu())
            checkAccessKeys(action->menu(), problems);
    }
}

// Whether the menu bar offers what a toolbar button does: the button's
// action, or every entry of its drop-down.
bool menuBarHolds(const QMenuBar* bar, QAction* button) {
    QSet<const QAction*> reached;
    std::function<void(const QMenu*)> collect = [&](const QMenu* menu) {
        for (QAction* action : menu->actions()) {
            reached.insert(action);
            if (action->menu() && action->menu() != menu)
                collect(action->menu());
        }
    };
    for (QAction* top : bar->actions()) {
        if (top->menu())
            collect(top->menu());
    }
    const QMenu* dropDown = button->menu();
    if (!dropDown)
        return reached.contains(button);
    for (const QAction* entry : dropDown->actions()) {
        if (!entry->isSeparator() && !reached.contains(entry))
            return false;
    }
    return !dropDown->actions().isEmpty();
}

QString shownPopup() {
    QWidget* popup = QApplication::activePopupWidget();
    return popup ? popup->objectName() : QString();
}

// Escape, as often as a user presses it: out of the menus, then out of
// the menu bar, which keeps the keyboard after its menus closed.
void closePopups() {
    for (int presses = 0; presses < 5; ++presses) {
        if (QWidget* popup = QApplication::activePopupWidget())
            QTest::keyClick(popup, Qt::Key_Escape);
        else if (qobject_cast<QMenuBar*>(QApplication::focusWidget()))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            return;
    }
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void everyToolbarCommandIsInTheMenuBarAndEveryMenuHasAccessKeys() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        // A button with a drop-down is there as its menu (the first entry
        // of which is what the button does); the hidden Publish is not.
        using enum ToolbarButton;
        for (ToolbarButton button : {NewObject, NewFolder, Tasks, Delete, Find, Refresh, Print, Help})
            QVERIFY2(menuBarHolds(window.menuBar(), window.toolbarAction(button)),
                     qPrintable(window.toolbarAction(button)->objectName()));
        QVERIFY(!window.toolbarAction(Publish)->isVisible());
        QVERIFY(!menuBarHolds(window.menuBar(), window.toolbarAction(Publish)));
        // The toolbar keeps its captions without the menu's access keys.
        QCOMPARE(toolButton(window, Delete)->text(), QStringLiteral("Delete"));
        QCOMPARE(toolButton(window, Print)->text(), QStringLiteral("Print"));

        QStringList problems;
        QSet<QChar> topKeys;
        for (QAction* top : window.menuBar()->actions()) {
            QVERIFY(top->menu());
            const QChar key = accessKey(top->text());
            QVERIFY2(!key.isNull() && !topKeys.contains(key), qPrintable(top->text()));
            topKeys.insert(key);
            checkAccessKeys(top->menu(), problems);
        }
        for (const char* popup : {"TreeMenu", "ListMenu"}) {
            auto* menu = window.findChild<QMenu*>(popup);
            QVERIFY2(menu, popup);
            checkAccessKeys(menu, problems);
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        QVERIFY(window.close());
    }

    void aboutTheRefreshMenuAndHelpAreReachedWithKeys() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(makeActive(&window));
        QTreeView* tree = window.treeView();
        clickFolder(window, QStringLiteral("Contracts"));

        // Alt+H, A: the about box.
        QString about;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            about = box->windowTitle();
            box->accept();
        });
        QTest::keyClick(tree, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(shownPopup(), QStringLiteral("HelpMenu"), kTimeout);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_A);
        QTRY_COMPARE_WITH_TIMEOUT(about, QStringLiteral("About Quill!"), kTimeout);

        // Alt+V, R: the refresh menu.
        QVERIFY(makeActive(&window));
        QTest::keyClick(tree, Qt::Key_V, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(shownPopup(), QStringLiteral("ViewMenu"), kTimeout);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_R);
        QTRY_COMPARE_WITH_TIMEOUT(shownPopup(), QStringLiteral("RefreshMenu"), kTimeout);
        closePopups();

        // F1: the main window's help page, then in a view that view's own.
        QVERIFY(makeActive(&window));
        std::vector<std::string>& opened = shown.f.shell.opened;
        QTest::keyClick(tree, Qt::Key_F1);
        QTRY_VERIFY_WITH_TIMEOUT(!opened.empty() && opened.back().ends_with("/GUIFORM_HELPBUTTON.htm"), kTimeout);
        bool findHelp = false;
        whenShown<FindView>([&](FindView* find) {
            QVERIFY(makeActive(find));
            QTest::keyClick(find, Qt::Key_F1);
            findHelp = !opened.empty() && opened.back().ends_with("/FINDFORM_HELPBUTTON.htm");
            find->close();
        });
        QTest::keyClick(tree, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(findHelp);
        QVERIFY(window.close());
    }

    void shiftF10AndTheMenuKeyOpenTheFocusedViewsMenuAtItsRow() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(makeActive(&window));
        QTreeView* tree = window.treeView();
        DocumentListView* list = window.documentList();
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        const struct {
            const char* name;
            QTreeView* view;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char* menu;
        } rows[] = {
            {"tree, Shift+F10", tree, Qt::Key_F10, Qt::ShiftModifier, "TreeMenu"},
            {"tree, Menu key", tree, Qt::Key_Menu, Qt::NoModifier, "TreeMenu"},
            {"list, Shift+F10", list, Qt::Key_F10, Qt::ShiftModifier, "ListMenu"},
            {"list, Menu key", list, Qt::Key_Menu, Qt::NoModifier, "ListMenu"},
        };
        for (const auto& row : rows) {
            if (row.view == list)
                clickRow(list, 0);
            else
                clickItem(tree, findItem(tree, QStringLiteral("Contracts")));
            QTest::keyClick(row.view, row.key, row.modifiers);
            QTRY_COMPARE_WITH_TIMEOUT(shownPopup(), QString::fromLatin1(row.menu), kTimeout);
            // Beside the current row, wherever the mouse is.
            const QRect current = row.view->visualRect(row.view->currentIndex());
            const int rowTop = row.view->viewport()->mapToGlobal(current.topLeft()).y();
            const int menuTop = QApplication::activePopupWidget()->geometry().top();
            QVERIFY2(std::abs(menuTop - rowTop) <= current.height() * 2, row.name);
            closePopups();
        }
        QVERIFY(window.close());
    }

    void cutCopyAndPasteMoveAndCopyAsADropDoes() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(makeActive(&window));
        const std::string root = shown.f.dataPoint + "/DataPoint.root/";
        QTreeView* tree = window.treeView();
        DocumentListView* list = window.documentList();
        const auto focusFolder = [&](const QString& caption) {
            clickItem(tree, findItem(tree, caption));
            QTRY_COMPARE_WITH_TIMEOUT(textOf(tree->currentIndex()), caption, kTimeout);
        };

        // Cut in the list, paste on a folder: the document and its
        // companions move, and it is shown where it went.
        focusFolder(QStringLiteral("Contracts"));
        QTRY_VERIFY_WITH_TIMEOUT(rowOfFile(list, QStringLiteral("Supplier.contract")) >= 0, kTimeout);
        clickRow(list, rowOfFile(list, QStringLiteral("Supplier.contract")));
        QTest::keyClick(list, Qt::Key_X, Qt::ControlModifier);
        focusFolder(QStringLiteral("Projects"));
        QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(root + "Projects/Supplier.contract"), kTimeout);
        for (const char* moved : {"Supplier.contract", "Supplier.comments", "Supplier.attachments"}) {
            QVERIFY2(std::filesystem::exists(root + "Projects/" + moved), moved);
            QVERIFY2(!std::filesystem::exists(root + "Contracts/" + moved), moved);
        }
        QTRY_VERIFY_WITH_TIMEOUT(list->selectedDocument() &&
                                     list->selectedDocument()->path.ends_with("Projects/Supplier.contract"),
                                 kTimeout);
        // A cut is pasted once.
        focusFolder(QStringLiteral("Contacts"));
        const int beeps = shown.f.ui.beeps;
        QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(shown.f.ui.beeps, beeps + 1, kTimeout);
        QVERIFY(!std::filesystem::exists(root + "Contacts/Supplier.contract"));

        // Copy, then paste twice in two places: copies, the source stays.
        focusFolder(QStringLiteral("Projects"));
        QTRY_VERIFY_WITH_TIMEOUT(rowOfFile(list, QStringLiteral("Supplier.contract")) >= 0, kTimeout);
        clickRow(list, rowOfFile(list, QStringLiteral("Supplier.contract")));
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        for (const char* folder : {"Contacts", "Meetings"}) {
            focusFolder(QString::fromLatin1(folder));
            QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
            QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(root + folder + "/Supplier.contract"), kTimeout);
        }
        QVERIFY(std::filesystem::exists(root + "Projects/Supplier.contract"));

        // A folder copied in the tree, with everything in it.
        focusFolder(QStringLiteral("Contacts"));
        QTest::keyClick(tree, Qt::Key_C, Qt::ControlModifier);
        focusFolder(QStringLiteral("Projects"));
        QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(root + "Projects/Contacts/Supplier.contract"), kTimeout);
        QVERIFY(std::filesystem::exists(root + "Contacts/Supplier.contract"));

        // The checks of a drop hold: a folder never goes into itself.
        const std::size_t warnings = shown.f.ui.messages.size();
        focusFolder(QStringLiteral("Projects"));
        QTest::keyClick(tree, Qt::Key_X, Qt::ControlModifier);
        tree->expand(tree->currentIndex());
        focusFolder(QStringLiteral("Contacts")); // the copy inside Projects
        QCOMPARE(textOf(tree->currentIndex().parent()), QStringLiteral("Projects"));
        QTest::keyClick(tree, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(shown.f.ui.messages.size(), warnings + 1, kTimeout);
        QVERIFY(std::filesystem::exists(root + "Projects/Contacts"));
        QVERIFY(window.close());
    }

    void theEditorOpensWithTheKeyboardOnItsFirstRow() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        DocumentListView* list = window.documentList();
        QVERIFY(openFolder(window, QStringLiteral("Contracts"), 1));
        // Twice: the second time the editor is the one shown before.
        for (int time = 0; time < 2; ++time) {
            QString focused;
            QTreeWidgetItem* current = nullptr;
            QTreeWidget* rows = nullptr;
            whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
                rows = editor->findChild<QTreeWidget*>("EditTree");
                QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() == rows, 5000);
                focused = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
                current = rows->currentItem();
                QTest::keyClick(rows, Qt::Key_Escape);
            });
            clickRow(list, 0);
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(focused, QStringLiteral("EditTree"));
            QVERIFY(rows && current);
            QCOMPARE(current, rows->topLevelItem(0)->child(0));
        }
        QVERIFY(window.close());
    }

    void tabShowsWhenTheKeyboardIsInThePage() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(makeActive(&window));
        QTreeView* tree = window.treeView();
        clickFolder(window, QStringLiteral("Contracts"));
        QVERIFY(!window.pagePane()->showsFocus());
        // From the tree Tab goes into the page, as the window reads.
        QTest::keyClick(tree, Qt::Key_Tab);
        QTRY_VERIFY_WITH_TIMEOUT(window.pagePane()->showsFocus(), kTimeout);
        saveShot(&window, "page-focus");
        clickFolder(window, QStringLiteral("Projects"));
        QTRY_VERIFY_WITH_TIMEOUT(!window.pagePane()->showsFocus(), kTimeout);
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::KeyboardTest)

#include "KeyboardTest.moc"
