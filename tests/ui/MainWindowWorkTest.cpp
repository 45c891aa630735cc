// A day's work in the main window, with real clicks and keys: a folder's
// documents and their pages, and a form on a page saved into its record.
#include "ui/DocumentListView.h"
#include "ui/MainWindow.h"
#include "ui/PagePane.h"

#include "SessionFixture.h"

#include "session/Logon.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtTest>

namespace quill::ui {
namespace {

constexpr int kTimeout = 30000;

QTreeWidgetItem* findItem(QTreeWidget* tree, const QString& caption) {
    const auto found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

void clickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// Asks the shown page something; the program's own script, not the
// page's, whose scripts never run.
QVariant evaluate(QWebEngineView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, kTimeout) ? result : QVariant();
}

// Where an element of the shown page is, in the view's coordinates.
QPoint centreOf(QWebEngineView* view, const QString& selector) {
    const QVariant result = evaluate(
        view, QStringLiteral("(function(){var e=document.querySelector('%1'); if(!e) return null;"
                             "e.scrollIntoView(); var r=e.getBoundingClientRect(); return [r.left+r.width/2, r.top+r.height/2];})()")
                  .arg(selector));
    if (!result.isValid())
        return {-1, -1};
    const QVariantList xy = result.toList();
    return xy.size() == 2 ? QPoint(int(xy[0].toDouble()), int(xy[1].toDouble())) : QPoint(-1, -1);
}

void saveShot(QWidget* window, const char* name) {
    if (const QByteArray shots = qgetenv("QUILL_VIEW_SHOTS"); !shots.isEmpty())
        window->grab().save(QString::fromLocal8Bit(shots) + "/" + name + ".png");
}

} // namespace

class MainWindowWorkTest : public QObject {
    Q_OBJECT

private slots:
    void aFolderShowsItsDocumentsAndAFormOnAPageIsSaved() {
        test::SessionFixture f;
        QVERIFY(f.open());
        QVERIFY(loadUserData(*f.session));
        f.session->program.loggedOn = true;
        MainWindow window(*f.session);
        window.prepareForUser();
        window.resize(1100, 760);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeWidget* tree = window.treeView();
        QWebEngineView* view = window.pagePane()->view();

        // The folder's documents, and the first one's page.
        QTreeWidgetItem* contracts = findItem(tree, QStringLiteral("Contracts"));
        QVERIFY(contracts);
        clickItem(tree, contracts);
        DocumentListView* list = window.documentList();
        QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), 1, kTimeout);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Office supplies 2027"));
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("Contract"));
        QVERIFY(list->height() > 0);
        QTRY_VERIFY_WITH_TIMEOUT(window.shownDocument().find("Supplier.contract") != std::string::npos, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(view->url().toLocalFile().contains("HTMLparse"), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(centreOf(view, "section.files").x() >= 0, kTimeout);
        QTest::qWait(300); // painted
        saveShot(&window, "contracts");

        // My account: a new telephone typed into the page and saved.
        clickItem(tree, findItem(tree, QStringLiteral("My account")));
        QTRY_VERIFY_WITH_TIMEOUT(window.shownDocument().empty() && list->height() == 0, kTimeout);
        QPoint phone;
        QTRY_VERIFY_WITH_TIMEOUT((phone = centreOf(view, "input[name=PHONE]")).x() >= 0, kTimeout);
        QVERIFY(QTest::qWaitFor([&] { return view->focusProxy() != nullptr; }, kTimeout));
        // Input sent before the page is painted is lost: click until the
        // field has the focus.
        const auto phoneHasFocus = [&] {
            phone = centreOf(view, "input[name=PHONE]");
            QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, phone);
            QTest::qWait(100);
            return evaluate(view, QStringLiteral("document.activeElement && document.activeElement.name"))
                       .toString() == QStringLiteral("PHONE");
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
        QTRY_VERIFY_WITH_TIMEOUT(test::readBytes(record).find("555 0142") != std::string::npos, kTimeout);
        // The page is shown again with the stored value.
        QTRY_VERIFY_WITH_TIMEOUT(centreOf(view, "input[name=PHONE][value=\"555 0142\"]").x() >= 0, kTimeout);
        saveShot(&window, "account-saved");
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

int main(int argc, char** argv) {
    quill::ui::PagePane::registerSchemes();
    QApplication app(argc, argv);
    quill::ui::MainWindowWorkTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "MainWindowWorkTest.moc"
