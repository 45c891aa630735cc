// What the window says when an operation is done, and what it keeps
// selected: a document dragged to another folder is moved there and stays
// selected there; copied with Ctrl, the original stays selected; either
// way the status bar says so for a few seconds. A document saved in the
// editor stays selected, and the status bar says it was saved.
#include "ViewTestSupport.h"

#include "ui/DocumentListView.h"
#include "ui/ObjectEditorView.h"
#include "ui/PagePane.h"

#include <QStatusBar>

#include <filesystem>

namespace quill::ui {

using namespace test;

class OperationFeedbackTest : public QObject {
    Q_OBJECT

private slots:
    void aDroppedDocumentStaysSelectedAndTheStatusBarSaysWhatHappened() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        const std::string root = shown.f.dataPoint + "/DataPoint.root/";
        MainWindow& window = *shown.window;
        QTreeView* tree = window.treeView();
        DocumentListView* list = window.documentList();
        const auto rowOf = [&](const std::string& path) {
            for (int row = 0; row < rowCount(list); ++row) {
                if (list->model()->index(row, 0).data(Qt::UserRole).toString() == QString::fromStdString(path))
                    return row;
            }
            return -1;
        };
        const auto rowCentre = [&](int row) { return centreOfRow(list, row); };
        const auto nodeCentre = [&](const char* caption) { return centreOfNode(tree, QString::fromUtf8(caption)); };
        const auto current = [&] {
            const DocumentItem* item = list->currentDocument();
            return item ? item->path : std::string();
        };

        struct Case {
            const char* what;
            const char* from;
            std::string document;
            const char* onto;
            Qt::KeyboardModifiers modifiers;
            std::string arrives;  // the file that appears
            std::string selected; // the document selected afterwards
            QString said;
        };
        const Case cases[] = {
            {"moved",
             "Contracts",
             root + "Contracts/Supplier.contract",
             "Projects",
             {},
             root + "Projects/Supplier.contract",
             root + "Projects/Supplier.contract",
             QStringLiteral("Moved: ")},
            {"copied", "Projects", root + "Projects/Supplier.contract", "Contacts", Qt::ControlModifier,
             root + "Contacts/Supplier.contract", root + "Projects/Supplier.contract", QStringLiteral("Copied: ")},
        };
        for (const Case& c : cases) {
            const QByteArray what = c.what;
            clickFolder(window, QString::fromUtf8(c.from));
            QTRY_VERIFY_WITH_TIMEOUT(rowOf(c.document) >= 0, kTimeout);
            const int row = rowOf(c.document);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(row));
            const QString name = rowText(list, row);
            dragAndDrop(list->viewport(), rowCentre(row), tree->viewport(), nodeCentre(c.onto), c.modifiers);
            QTRY_VERIFY2_WITH_TIMEOUT(std::filesystem::exists(c.arrives), what, kTimeout);
            QTRY_COMPARE_WITH_TIMEOUT(current(), c.selected, kTimeout);
            // Not merely the first row, where a refilled list puts it.
            QVERIFY2(rowOf(c.selected) > 0, what);
            QCOMPARE(window.statusBar()->currentMessage(), c.said + name);
        }
        QVERIFY(window.close());
    }

    void aSavedDocumentStaysSelected() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        DocumentListView* list = window.documentList();
        const std::string weekly = shown.f.dataPoint + "/DataPoint.root/Meetings/Weekly review.meeting";
        QVERIFY(openFolder(window, QStringLiteral("Meetings"), 6));
        const QModelIndex row = list->model()
                                    ->match(list->model()->index(0, 0), Qt::DisplayRole,
                                            QStringLiteral("Weekly review"), 1, Qt::MatchExactly)
                                    .value(0);
        QVERIFY(row.isValid() && row.row() > 0);
        bool saved = false;
        whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
            clickAction(editor, "Save");
            saved = !editor->isVisible();
        });
        const QPoint at = list->visualRect(row).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTRY_VERIFY_WITH_TIMEOUT(saved, kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusBar()->currentMessage(), QStringLiteral("Saved: Weekly review"),
                                  kTimeout);
        QVERIFY(list->currentDocument());
        QCOMPARE(list->currentDocument()->path, weekly);
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::OperationFeedbackTest)

#include "OperationFeedbackTest.moc"
