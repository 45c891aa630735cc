// The main tree's model over the library's nodes: what it shows, rows added
// below a folder as its level is read, and nodes replaced by a reload.
#include "ui/ImageLists.h"
#include "ui/MainTreeModel.h"

#include "ViewTestMain.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace quill;
using namespace quill::ui;

namespace {

TreeNode& add(TreeNode& parent, const char* caption) {
    auto node = std::make_unique<TreeNode>();
    node->caption = caption;
    node->note = std::string("note of ") + caption;
    return parent.addChild(std::move(node));
}

// Projects (Website, Contracts) and Trash; Website's level is not read.
void build(MainTree& tree) {
    tree.clear();
    for (const char* caption : {"Projects", "Trash"}) {
        tree.roots.push_back(std::make_unique<TreeNode>());
        tree.roots.back()->caption = caption;
    }
    add(*tree.roots[0], "Website").childrenRead = false;
    add(*tree.roots[0], "Contracts");
}

QStringList captions(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
    QStringList shown;
    for (int row = 0; row < model.rowCount(parent); ++row)
        shown << model.index(row, 0, parent).data().toString();
    return shown;
}

} // namespace

class MainTreeModelTest : public QObject {
    Q_OBJECT

    ImageLists images_;

private slots:
    void rowsFollowTheNodesThroughReadsAndReloads() {
        MainTree tree;
        build(tree);
        MainTreeModel model(tree, images_);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        QCOMPARE(captions(model), QStringList({"Projects", "Trash"}));
        const QModelIndex projects = model.index(0, 0);
        QCOMPARE(captions(model, projects), QStringList({"Website", "Contracts"}));
        const QModelIndex website = model.index(0, 0, projects);
        QCOMPARE(website.data(Qt::ToolTipRole).toString(), QStringLiteral("note of Website"));
        QCOMPARE(model.parent(website), projects);
        QCOMPARE(model.nodeAt(website), tree.roots[0]->children[0].get());
        QCOMPARE(model.indexOf(tree.roots[0]->children[1].get()), model.index(1, 0, projects));
        TreeNode stray;
        QVERIFY(!model.indexOf(&stray).isValid());
        QCOMPARE(model.rowCount(website), 0);

        // The level below Website is read as Projects is expanded: the view
        // is told of the new rows, and only of those.
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        TreeNode& websiteNode = *model.nodeAt(website);
        add(websiteNode, "Drafts");
        add(websiteNode, "Images");
        websiteNode.childrenRead = true;
        QCOMPARE(model.rowCount(website), 0);
        model.publishChildren(projects);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().at(0).toModelIndex(), website);
        QCOMPARE(inserted.first().at(1).toInt(), 0);
        QCOMPARE(inserted.first().at(2).toInt(), 1);
        QCOMPARE(captions(model, website), QStringList({"Drafts", "Images"}));
        model.publishChildren(projects);
        QCOMPARE(inserted.count(), 1);

        // A reload replaces the nodes: an index kept from before leads to
        // none of them, and the new ones are found again.
        const QPersistentModelIndex kept = model.index(1, 0, projects);
        const QModelIndex contractsBefore = model.index(1, 0, projects);
        build(tree);
        add(*tree.roots[1], "Old minutes");
        // Until the window resets the model (a warning may run the event
        // loop first), nothing leads to a deleted node.
        QVERIFY(model.stale());
        QCOMPARE(model.nodeAt(contractsBefore), nullptr);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!contractsBefore.data().isValid());
        model.reset();
        QVERIFY(!model.stale());
        QVERIFY(!kept.isValid());
        QCOMPARE(captions(model, model.index(1, 0)), QStringList({"Old minutes"}));
        const TreeNode* contracts = tree.roots[0]->children[1].get();
        QCOMPARE(model.indexOf(contracts).data().toString(), QStringLiteral("Contracts"));
        QCOMPARE(model.nodeAt(model.indexOf(contracts)), contracts);
    }
};

QUILL_VIEW_TEST_MAIN(MainTreeModelTest)
#include "MainTreeModelTest.moc"
