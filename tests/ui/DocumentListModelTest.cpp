// The document list's model: rows, columns and what each role gives for
// the documents the library listed, before and after sorts and refills.
#include "ui/DocumentListModel.h"
#include "ui/ImageLists.h"

#include "ViewTestMain.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace quill;
using namespace quill::ui;

namespace {

DocumentItem document(const char* name, const char* date, const char* time, const char* path) {
    DocumentItem item;
    item.name = name;
    item.secondField = std::string("second of ") + name;
    item.typeCaption = "Contract";
    item.date = date;
    item.time = time;
    item.location = "Projects";
    item.path = path;
    return item;
}

// In the library's order: by name, then by file.
std::vector<DocumentItem> listed() {
    return {
        document("item b", "2.1.2027", "9:00:00", "/dp/a.contract"),
        document("Item c", "10.12.2026", "10:00:00", "/dp/b.contract"),
        document("item c", "not a date", "8:30:00", "/dp/c.contract"),
        document("alpha", "1.1.2027", "no time", "/dp/d.contract"),
    };
}

QStringList names(const QAbstractItemModel& model) {
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.index(row, DocumentListModel::NameColumn).data().toString();
    return shown;
}

const QStringList kHeadings{"Name", "Field", "Type", "Date", "Time", "Location"};

} // namespace

class DocumentListModelTest : public QObject {
    Q_OBJECT

    ImageLists images_;
    DateTimeFormats formats_;

private slots:
    void anEmptyListHasTheColumnsAndNoRows() {
        DocumentListModel model(images_, formats_, kHeadings);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 6);
        for (int column = 0; column < model.columnCount(); ++column)
            QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), kHeadings[column]);
        QVERIFY(!model.documentAt(0));
        QCOMPARE(model.rowOf("/dp/a.contract"), -1);
        model.setItems({});
        QCOMPARE(model.rowCount(), 0);
    }

    void eachRoleShowsItsPartOfTheDocument_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("name") << 0 << int(Qt::DisplayRole) << QVariant("Item c");
        QTest::newRow("second field") << 1 << int(Qt::DisplayRole) << QVariant("second of Item c");
        QTest::newRow("type") << 2 << int(Qt::DisplayRole) << QVariant("Contract");
        QTest::newRow("date") << 3 << int(Qt::DisplayRole) << QVariant("10.12.2026");
        QTest::newRow("time") << 4 << int(Qt::DisplayRole) << QVariant("10:00:00");
        QTest::newRow("location") << 5 << int(Qt::DisplayRole) << QVariant("Projects");
        QTest::newRow("path on the name") << 0 << DocumentListModel::PathRole << QVariant("/dp/b.contract");
        QTest::newRow("path on the date") << 3 << DocumentListModel::PathRole << QVariant("/dp/b.contract");
        QTest::newRow("tip on the name") << 0 << int(Qt::ToolTipRole) << QVariant("/dp/b.contract");
        QTest::newRow("no tip elsewhere") << 2 << int(Qt::ToolTipRole) << QVariant();
        QTest::newRow("no picture elsewhere") << 1 << int(Qt::DecorationRole) << QVariant();
    }

    void eachRoleShowsItsPartOfTheDocument() {
        QFETCH(int, column);
        QFETCH(int, role);
        QFETCH(QVariant, expected);
        DocumentListModel model(images_, formats_, kHeadings);
        model.setItems(listed());
        // Unsorted, the rows keep the library's order.
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.documentAt(1)->path, "/dp/b.contract");
        QCOMPARE(model.index(1, column).data(role), expected);
        QVERIFY(model.flags(model.index(1, column)) & Qt::ItemIsDragEnabled);
        QVERIFY(model.supportedDragActions() & Qt::MoveAction);
    }

    void aSortOrdersByTheColumnsMeaning_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QStringList>("expected");
        // Without regard to case, equal names in the
        // library's order; descending turns all of it round.
        QTest::newRow("names") << 0 << Qt::AscendingOrder << QStringList{"alpha", "item b", "Item c", "item c"};
        QTest::newRow("names, descending")
            << 0 << Qt::DescendingOrder << QStringList{"item c", "Item c", "item b", "alpha"};
        // Dates by the day, not the text; a text that is no date comes last.
        QTest::newRow("dates") << 3 << Qt::AscendingOrder << QStringList{"Item c", "alpha", "item b", "item c"};
        QTest::newRow("times") << 4 << Qt::AscendingOrder << QStringList{"item c", "item b", "Item c", "alpha"};
        QTest::newRow("equal types keep the library's order")
            << 2 << Qt::AscendingOrder << QStringList{"item b", "Item c", "item c", "alpha"};
    }

    void aSortOrdersByTheColumnsMeaning() {
        QFETCH(int, column);
        QFETCH(Qt::SortOrder, order);
        QFETCH(QStringList, expected);
        DocumentListModel model(images_, formats_, kHeadings);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setItems(listed());
        const QPersistentModelIndex chosen = model.index(model.rowOf("/dp/a.contract"), 2);
        model.sort(column, order);
        QCOMPARE(names(model), expected);
        // A row the view holds on to follows its document.
        QCOMPARE(chosen.data(DocumentListModel::PathRole).toString(), QStringLiteral("/dp/a.contract"));
        QCOMPARE(chosen.column(), 2);
        QCOMPARE(model.documentAt(chosen.row())->path, "/dp/a.contract");
        // The library's list itself is left as it came.
        QCOMPARE(model.items()[1].path, "/dp/b.contract");
    }

    void aRefillResetsTheRowsAndKeepsTheSort() {
        DocumentListModel model(images_, formats_, kHeadings);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setItems(listed());
        model.sort(DocumentListModel::DateColumn, Qt::DescendingOrder);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        std::vector<DocumentItem> again = listed();
        again.erase(again.begin());
        model.setItems(std::move(again));
        QCOMPARE(resets.size(), 1);
        QCOMPARE(names(model), (QStringList{"item c", "alpha", "Item c"}));
        QCOMPARE(model.rowOf("/dp/a.contract"), -1);
        QCOMPARE(model.rowOf("/dp/b.contract"), 2);
        QVERIFY(!model.documentAt(3));
        model.setItems({});
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(resets.size(), 2);
    }
};

QUILL_VIEW_TEST_MAIN(DocumentListModelTest)
#include "DocumentListModelTest.moc"
