// What a screen reader finds in the main window and the logon view: every
// control a user can reach has a name, read through Qt's accessibility
// tree as an assistive technology reads it.
#include "ViewTestSupport.h"

#include "formats/RegistryStore.h"
#include "ui/DocumentListView.h"
#include "ui/LoginForm.h"
#include "ui/PagePane.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QProcess>

#include <memory>

namespace quill::ui {

using namespace test;

namespace {

bool interactive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Tree:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::MenuBar:
    case QAccessible::ToolBar:
    case QAccessible::ColumnHeader:
    case QAccessible::PageTabList: return true;
    default: return false;
    }
}

QString describe(QAccessibleInterface* item) {
    QObject* object = item->object();
    return QStringLiteral("%1 %2 (%3)")
        .arg(object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("-"),
             object ? object->objectName() : QString(), QString::number(item->role(), 16));
}

// Walks the accessibility tree below item as a screen reader does and
// notes every shown control without a name; a tree's or list's rows are
// data and not walked, but their column headings are. The page's content
// is the page's own (its title names it); the view showing it is walked.
void findNameless(QAccessibleInterface* item, QStringList& nameless, QStringList& seen, int depth = 0) {
    if (!item || !item->isValid() || depth > 40 || item->state().invisible)
        return;
    const QAccessible::Role role = item->role();
    if (interactive(role)) {
        seen << describe(item);
        if (item->text(QAccessible::Name).trimmed().isEmpty())
            nameless << describe(item);
    }
    const bool rows = role == QAccessible::Tree || role == QAccessible::List || role == QAccessible::Table;
    for (int i = 0; i < item->childCount(); ++i) {
        QAccessibleInterface* child = item->child(i);
        if (rows && child && child->role() != QAccessible::ColumnHeader)
            continue;
        findNameless(child, nameless, seen, depth + 1);
    }
}

// The main window with a folder's documents and page shown, and the logon
// view beside it with everything it can show.
struct BothViews {
    LoggedOnWindow main;
    std::unique_ptr<RegistryStore> registry;
    std::unique_ptr<LoginForm> logon;
    bool shown = false;

    BothViews() {
        if (!main.ready)
            return;
        MainWindow& window = *main.window;
        clickFolder(window, QStringLiteral("Contracts"));
        // The page's document is named by its title, once it has loaded.
        QWebEngineView* page = window.pagePane()->view();
        if (!QTest::qWaitFor(
                [&] {
                    return rowCount(window.documentList()) > 0 && page->url().toLocalFile().contains("HTMLparse") &&
                           !page->title().isEmpty() && !page->url().toString().endsWith(page->title());
                },
                kTimeout))
            return;
        registry = std::make_unique<RegistryStore>(main.f.dir / "registry.ini");
        main.f.session->program.knownDataPoints = {main.f.dataPoint};
        logon = std::make_unique<LoginForm>(*main.f.session, *registry);
        logon->show();
        if (!QTest::qWaitForWindowExposed(logon.get()))
            return;
        QTest::mouseClick(logon->findChild<QWidget*>("More"), Qt::LeftButton); // the whole view
        shown = true;
    }
    bool ready() const { return shown; }
};

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlOfTheMainWindowAndTheLogonViewHasAName() {
        QAccessible::setActive(true);
        BothViews shown;
        QVERIFY(shown.ready());
        MainWindow& window = *shown.main.window;
        LoginForm& logon = *shown.logon;
        QWebEngineView* page = window.pagePane()->view();

        for (QWidget* view : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&logon)}) {
            QStringList nameless;
            QStringList seen;
            findNameless(QAccessible::queryAccessibleInterface(view), nameless, seen);
            // Would pass on an empty walk: the trees, list, page and boxes
            // must have been reached.
            QVERIFY2(seen.size() >= 6, qPrintable(seen.join(u'\n')));
            QVERIFY2(nameless.isEmpty(), qPrintable(view->objectName() + u'\n' + nameless.join(u'\n')));
        }
        // The names say what the three parts of the window are.
        const auto nameOf = [](QWidget* widget) {
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        };
        QCOMPARE(nameOf(window.treeView()), QStringLiteral("Folders"));
        QCOMPARE(nameOf(window.documentList()), QStringLiteral("Documents"));
        // The tree's heading is hidden, but a reader still announces its
        // column by it.
        QAccessibleTableInterface* folders = QAccessible::queryAccessibleInterface(window.treeView())->tableInterface();
        QVERIFY(folders);
        QCOMPARE(folders->columnDescription(0), QStringLiteral("Folders"));
        QCOMPARE(nameOf(page), QStringLiteral("Page"));
        logon.close();
        QVERIFY(window.close());
    }

    // Run by the AccessibilityAtSpi test under a session bus of its own,
    // which hands the probe's path over.
    void aScreenReaderFindsTheSameNamesOverAtSpi() {
        const QString probe = qEnvironmentVariable("QUILL_ATSPI_PROBE");
        if (probe.isEmpty())
            QSKIP("AT-SPI is walked by the AccessibilityAtSpi test, on a session bus of its own");
        BothViews shown;
        QVERIFY(shown.ready());
        QProcess walk;
        walk.setProcessChannelMode(QProcess::MergedChannels);
        walk.start(QStringLiteral("python3"), {probe, QCoreApplication::applicationName(), "12"});
        // The walk asks this process over D-Bus: its event loop runs meanwhile.
        QVERIFY(QTest::qWaitFor([&] { return walk.state() == QProcess::NotRunning; }, 10 * kTimeout));
        const QString said = QString::fromUtf8(walk.readAll());
        if (walk.exitStatus() == QProcess::NormalExit && walk.exitCode() == 77)
            QSKIP(qPrintable(said.trimmed()));
        QVERIFY2(walk.exitStatus() == QProcess::NormalExit && walk.exitCode() == 0, qPrintable(said));
        qInfo().noquote() << said; // what a screen reader announces
        shown.logon->close();
        QVERIFY(shown.main.window->close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::AccessibilityTest)

#include "AccessibilityTest.moc"
