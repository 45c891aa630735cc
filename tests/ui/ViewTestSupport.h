#pragma once

// What the view tests share: a main window logged on for ANNA, and real
// clicks and keys on trees, pages, toolbars and the modal views they open.
#include "ui/DocumentListView.h"
#include "ui/MainWindow.h"
#include "ui/PagePane.h"
#include "ui/WizardFrame.h"

#include "SessionFixture.h"
#include "ViewTestMain.h"

#include "session/Logon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtTest>

#include <functional>
#include <utility>
#include <memory>

namespace quill::ui::test {

using namespace quill::test;

inline constexpr int kTimeout = 30000;

inline QTreeWidgetItem* findItem(QTreeWidget* tree, const QString& caption) {
    const auto found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

inline void clickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// The same for a tree over a model, such as the main window's folders: the
// first row anywhere below the top whose text is caption, or an invalid
// index.
inline QModelIndex findItem(QTreeView* tree, const QString& caption) {
    const QModelIndexList found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, caption, 1,
                                                       Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchWrap);
    return found.isEmpty() ? QModelIndex() : found.first();
}

inline void clickItem(QTreeView* tree, const QModelIndex& index) {
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
}

inline QString textOf(const QModelIndex& index) {
    return index.data().toString();
}

// The rows of a view over a model, as a user finds and clicks them.
inline int rowCount(const QAbstractItemView* view) {
    return view->model()->rowCount();
}

inline QString rowText(const QAbstractItemView* view, int row, int column = 0) {
    return view->model()->index(row, column).data().toString();
}

inline QPoint centreOfRow(const QAbstractItemView* view, int row) {
    return view->visualRect(view->model()->index(row, 0)).center();
}

inline void clickRow(QAbstractItemView* view, int row) {
    view->scrollTo(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOfRow(view, row));
}

// Asks the shown page something; the program's own script, not the
// page's, whose scripts never run.
inline QVariant evaluate(QWebEngineView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    return QTest::qWaitFor([&] { return done; }, kTimeout) ? result : QVariant();
}

// Where an element of the shown page is, in the view's coordinates; nothing
// until the page has loaded its style sheet and pictures, which move it.
inline QPoint centreOf(QWebEngineView* view, const QString& selector) {
    const QVariant result = evaluate(
        view,
        QStringLiteral(
            "(function(){if(document.readyState!=='complete') return null;"
            "var e=document.querySelector('%1'); if(!e) return null;"
            "e.scrollIntoView(); var r=e.getBoundingClientRect(); return [r.left+r.width/2, r.top+r.height/2];})()")
            .arg(selector));
    if (!result.isValid())
        return {-1, -1};
    const QVariantList xy = result.toList();
    return xy.size() == 2 ? QPoint(int(xy[0].toDouble()), int(xy[1].toDouble())) : QPoint(-1, -1);
}

// Answers the next question box with a click on its Yes button.
inline void answerYesSoon() {
    QTimer::singleShot(0, [] {
        QMessageBox* box = nullptr;
        if (QTest::qWaitFor([&] { return (box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); },
                            kTimeout))
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
}

// Types text as a keyboard with its letters would: a key press carrying
// each letter, also those QTest::keyClicks has no key for (it stops the
// test on a Greek or Cyrillic letter).
inline void typeLetters(QWidget* widget, const QString& text) {
    for (QChar letter : text)
        QTest::sendKeyEvent(QTest::Click, widget, static_cast<Qt::Key>(letter.toUpper().unicode()), QString(letter),
                            Qt::NoModifier);
}

// Answers the next message box with a click on the button that shows
// text, for as long as it lives; said() is the box's text, empty while none
// came. It looks every few milliseconds from whatever event loop runs, so
// a box opened deep inside a modal view is found too.
class Answer {
public:
    explicit Answer(const QString& button, int timeout = kTimeout) : poll_(new QTimer) {
        auto said = said_;
        QTimer* poll = poll_;
        auto* waited = new QElapsedTimer;
        waited->start();
        QObject::connect(poll, &QTimer::timeout, [poll, waited, said, button, timeout] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (waited->elapsed() > timeout)
                    poll->stop();
                return;
            }
            // A click before the box is laid out and shown misses its button.
            if (!box->windowHandle() || !box->windowHandle()->isExposed())
                return;
            poll->stop();
            *said = box->text();
            for (QAbstractButton* shown : box->buttons()) {
                if (QString(shown->text()).remove(u'&') == button) {
                    QTest::mouseClick(shown, Qt::LeftButton);
                    return;
                }
            }
            box->reject(); // no such button: the test fails on what follows
        });
        QObject::connect(poll, &QObject::destroyed, [waited] { delete waited; });
        poll->start(20);
    }
    ~Answer() { delete poll_; }
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;

    QString said() const { return *said_; }

private:
    std::shared_ptr<QString> said_ = std::make_shared<QString>();
    QTimer* poll_;
};

// Drags with the mouse from a point of one widget to a point of another,
// as a user does: the press and the first moves start the drag, whose own
// event loop then takes the moves and the release sent from a timer. Window
// events, so that they pass where a real mouse's would.
inline void dragAndDrop(QWidget* from, QPoint start, QWidget* to, QPoint end, Qt::KeyboardModifiers modifiers = {}) {
    QWindow* window = from->window()->windowHandle();
    const auto inWindow = [&](QWidget* widget, QPoint point) { return widget->mapTo(widget->window(), point); };
    const QPoint drop = inWindow(to, end);
    QTimer::singleShot(300, [=] {
        QTest::mouseMove(window, drop - QPoint(2, 0));
        QTest::mouseMove(window, drop);
        QTest::mouseRelease(window, Qt::LeftButton, modifiers, drop);
    });
    QTest::mousePress(window, Qt::LeftButton, {}, inWindow(from, start));
    const int step = QApplication::startDragDistance() + 2;
    QTest::mouseMove(window, inWindow(from, start + QPoint(step, 0)));
    QTest::mouseMove(window, inWindow(from, start + QPoint(2 * step, 0)));
}

inline QToolButton* toolButton(MainWindow& window, ToolbarButton button) {
    auto* bar = window.findChild<QToolBar*>("ToolBar");
    return bar ? qobject_cast<QToolButton*>(bar->widgetForAction(window.toolbarAction(button))) : nullptr;
}
// By its place on the toolbar, 1 to 9.
inline QToolButton* toolButton(MainWindow& window, int place) {
    return toolButton(window, static_cast<ToolbarButton>(place));
}

// Saves a picture of a window where QUILL_VIEW_SHOTS names a directory.
// A page is painted by the web engine some frames after it has loaded: the
// picture is taken once two grabs a few frames apart agree.
inline void saveShot(QWidget* window, const char* name) {
    const QByteArray shots = qgetenv("QUILL_VIEW_SHOTS");
    if (shots.isEmpty())
        return;
    QImage shot = window->grab().toImage();
    QElapsedTimer frames;
    frames.start();
    const bool settled = QTest::qWaitFor(
        [&] {
            if (frames.elapsed() < 50)
                return false;
            frames.restart();
            return std::exchange(shot, window->grab().toImage()) == shot;
        },
        kTimeout);
    if (!settled)
        qWarning("%s was still changing when its picture was taken", name);
    shot.save(QString::fromLocal8Bit(shots) + "/" + name + ".png");
}

// A main window shown for ANNA on a fresh copy of the sample, as after her
// logon.
struct LoggedOnWindow {
    SessionFixture f;
    std::unique_ptr<MainWindow> window;
    bool ready = false;

    // prepare changes the data point before the logon.
    explicit LoggedOnWindow(bool administrator = false, const std::function<void(SessionFixture&)>& prepare = {}) {
        if (!f.open() || !loadUserData(*f.session))
            return;
        if (prepare)
            prepare(f);
        f.session->program.loggedOn = true;
        f.session->program.isAdministrator = administrator;
        window = std::make_unique<MainWindow>(*f.session);
        window->prepareForUser();
        window->resize(1100, 760);
        window->show();
        ready = QTest::qWaitForWindowExposed(window.get());
    }
};

// Makes the fixture's session one that uses shell (the real desktop rather
// than the recording one), logged on as before: for LoggedOnWindow's
// prepare.
inline void useShell(SessionFixture& f, Shell& shell) {
    ProgramValues program = f.session->program;
    f.session = std::make_unique<Session>(std::move(program), f.clock, f.ui, shell);
    f.session->context.dataPointPath = f.dataPoint;
    if (f.open())
        loadUserData(*f.session);
}

// Runs what on a modal view of type View once it is shown, from the event
// loop of whatever opened it. It looks every few milliseconds rather than
// waiting in a loop of its own, so that a view opened by a timer while it
// looks is found, not stacked on top of the look. It looks for twice the
// time a test waits for anything, so that a view opened at the end of such
// a wait is still found; and a view that what left open (a check in it
// failed) is closed, so that a failure ends the test instead of hanging it.
template <typename View> void whenShown(std::function<void(View*)> what) {
    auto* poll = new QTimer;
    auto* waited = new QElapsedTimer;
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, waited, what] {
        View* view = qobject_cast<View*>(QApplication::activeModalWidget());
        if (!view && waited->elapsed() < 2 * kTimeout)
            return;
        poll->stop();
        poll->deleteLater();
        delete waited;
        if (!view)
            return;
        QPointer<View> shown(view);
        what(view);
        if (shown && shown->isVisible()) {
            qWarning("%s was left open: closing it", View::staticMetaObject.className());
            shown->close();
        }
    });
    poll->start(20);
}

// The button a toolbar shows for an action of a view.
inline QToolButton* buttonFor(QWidget* view, QAction* action) {
    for (QToolBar* bar : view->findChildren<QToolBar*>()) {
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            return button;
    }
    return nullptr;
}

// A click on a toolbar button of a view, found by its action's name.
inline void clickAction(QWidget* view, const char* name) {
    QTest::mouseClick(buttonFor(view, view->findChild<QAction*>(name)), Qt::LeftButton, {}, QPoint(8, 8));
}

inline QListWidgetItem* userRow(QListWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchStartsWith);
    return found.isEmpty() ? nullptr : found.first();
}

inline void clickRow(QListWidget* list, QListWidgetItem* item) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// Opens a tree row's popup menu with the right mouse button.
inline void rightClickItem(QTreeView* tree, const QModelIndex& index) {
    tree->scrollTo(index);
    const QPoint at = tree->visualRect(index).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &menu);
}

// Clicks the item of the open popup menu that has this text (its access
// key's "&" left out); a submenu
// opens and the next call clicks in it. The click returns once what it
// opened (a modal view) has closed.
inline bool clickMenuItem(const QString& text) {
    QMenu* menu = nullptr;
    QAction* item = nullptr;
    const bool found = QTest::qWaitFor(
        [&] {
            menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return false;
            for (QAction* action : menu->actions()) {
                if (QString(action->text()).remove(u'&') == text && menu->actionGeometry(action).isValid())
                    item = action;
            }
            return item != nullptr;
        },
        kTimeout);
    if (found)
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    return found;
}

// A page that is still loading its style sheet or pictures moves its
// tiles, and a click on it can be lost. Clicks the tile once two looks in a
// row find it at the same place; once the page has taken a click on it (a
// listener in the program's own world counts them) the view it opens is
// waited for, and a click lost on the way is sent again.
inline void clickUntil(QWebEngineView* view, const QString& selector, const bool& done) {
    const QString counted =
        QStringLiteral("(function(){if(window.quillTileClicks===undefined){window.quillTileClicks=0;"
                       "document.addEventListener('click',function(e){"
                       "if(e.target.closest&&e.target.closest('%1')) ++window.quillTileClicks;},true);}"
                       "return window.quillTileClicks;})()")
            .arg(selector);
    QElapsedTimer waited;
    waited.start();
    QPoint before(-1, -1);
    while (!done && waited.elapsed() < kTimeout) {
        const QPoint tile = centreOf(view, selector);
        if (tile.x() < 0 || tile != before) {
            before = tile;
            continue;
        }
        const int clicks = evaluate(view, counted).toInt();
        QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, tile);
        if (QTest::qWaitFor([&] { return done || evaluate(view, counted).toInt() > clicks; }, 2000))
            break;
    }
    QTRY_VERIFY_WITH_TIMEOUT(done, kTimeout);
}

// Clicks a folder of the main tree by its caption.
inline void clickFolder(MainWindow& window, const QString& caption) {
    clickItem(window.treeView(), findItem(window.treeView(), caption));
}

// Clicks a folder and waits until the document list shows its documents:
// false where the folder is not there or the list never held rows of them.
[[nodiscard]] inline bool openFolder(MainWindow& window, const QString& caption, int rows) {
    const QModelIndex folder = findItem(window.treeView(), caption);
    if (!folder.isValid())
        return false;
    clickItem(window.treeView(), folder);
    return QTest::qWaitFor([&] { return rowCount(window.documentList()) == rows; }, kTimeout);
}

// Opens a folder's properties from its popup menu; the click returns once
// the view has closed.
[[nodiscard]] inline bool openProperties(MainWindow& window, const QString& caption) {
    rightClickItem(window.treeView(), findItem(window.treeView(), caption));
    return clickMenuItem(QStringLiteral("Properties"));
}

// Without a window manager a window that a modal view just left, or the
// one that opened a view, may take the activation back a moment later:
// keys go to the active window only. The look comes after a round trip to
// the window system and the events it brought, so that a take-back on its
// way is seen.
[[nodiscard]] inline bool makeActive(QWidget* window) {
    return QTest::qWaitFor(
        [&] {
            window->activateWindow();
            QGuiApplication::sync();
            QCoreApplication::processEvents();
            return QApplication::activeWindow() == window && QTest::qWaitForWindowActive(window, 0);
        },
        kTimeout);
}

// The entry of the New button's list whose caption starts with type.
inline QAction* newObjectAction(MainWindow& window, const QString& type) {
    QAction* found = nullptr;
    for (QAction* action : window.toolbarAction(ToolbarButton::NewObject)->menu<QMenu*>()->actions())
        found = QString(action->text()).remove(u'&').startsWith(type) ? action : found;
    return found;
}

// Types text into a box and confirms it with Enter.
inline void typeAndEnter(QWidget* box, const QString& text) {
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// The text a page shows, as a user reads it.
inline QString pageText(QWebEngineView* view) {
    return evaluate(view, QStringLiteral("document.body.innerText")).toString();
}

inline bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Runs a command of quill-cli as the administrator, as another user on
// another machine would; its exit status.
inline int asAdministrator(const SessionFixture& f, const std::string& command) {
    int status = -1;
    runCli(command + " --datapoint " + shellWord(f.dataPoint) + " --user ADMINISTRATOR", &status);
    return status;
}

// What the next question box said and the button it offered as the
// default, once answered with a click on button, or with Enter where that
// is NoButton; a picture of it is saved as shot where one is named.
struct Question {
    QString text;
    QMessageBox::StandardButton byDefault = QMessageBox::NoButton;
};

inline void answerWhenShown(Question& asked, QMessageBox::StandardButton button = QMessageBox::NoButton,
                            const char* shot = nullptr) {
    asked = {};
    whenShown<QMessageBox>([&asked, button, shot](QMessageBox* box) {
        asked.text = box->text();
        asked.byDefault = box->standardButton(box->defaultButton());
        if (shot)
            saveShot(box, shot);
        if (button == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(box->button(button), Qt::LeftButton);
    });
}

inline void clickNext(WizardFrame* wizard, int times = 1) {
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(wizard->nextButton(), Qt::LeftButton);
}

// Replaces what a box holds with text, as typed over everything selected.
inline void retype(QLineEdit* box, const QString& text) {
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

// The access key of a caption: the letter after its "&", in lower case;
// none where it has no "&".
inline QChar accessKey(const QString& text) {
    const qsizetype at = text.indexOf(u'&');
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
}

inline bool closeTo(const QColor& a, const QColor& b) {
    return qAbs(a.red() - b.red()) < 8 && qAbs(a.green() - b.green()) < 8 && qAbs(a.blue() - b.blue()) < 8;
}

inline QColor colourAt(QWidget* widget, QPoint point) {
    return widget->grab().toImage().pixelColor(point);
}

// Shows a page in a pane of its own window. Input sent before the first
// frame is painted is lost, so this waits until a known colour shows at
// probe; false where the page never loaded or never showed it.
[[nodiscard]] inline bool showPage(PagePane& pane, const QString& path, QPoint probe, const QColor& colour) {
    pane.show();
    if (!QTest::qWaitForWindowExposed(&pane))
        return false;
    QSignalSpy loaded(pane.view()->page(), &QWebEnginePage::loadFinished);
    pane.showPage(path);
    if (!QTest::qWaitFor([&] { return !loaded.isEmpty(); }, kTimeout) || !loaded.first().first().toBool())
        return false;
    if (!QTest::qWaitFor([&] { return pane.view()->focusProxy() != nullptr; }, kTimeout))
        return false;
    return QTest::qWaitFor([&] { return closeTo(colourAt(pane.view(), probe), colour); }, kTimeout);
}

// Opens a modal view of type View with open and works in it with what;
// true once what has run to its end without a failed check.
template <typename View> [[nodiscard]] bool drive(const std::function<void()>& open, std::function<void(View*)> what) {
    auto ran = std::make_shared<bool>(false);
    whenShown<View>([ran, what](View* view) {
        what(view);
        *ran = !QTest::currentTestFailed();
    });
    open();
    return *ran;
}

// The first row of a document list whose file ends with end; -1 where none
// does.
inline int rowOfFile(const QAbstractItemView* list, const QString& end) {
    for (int row = 0; row < rowCount(list); ++row) {
        if (list->model()->index(row, 0).data(Qt::UserRole).toString().endsWith(end))
            return row;
    }
    return -1;
}

// Where a node of a tree over a model shows, to drag from or drop onto;
// outside the tree where there is no such node.
inline QPoint centreOfNode(QTreeView* tree, const QString& caption) {
    const QModelIndex node = findItem(tree, caption);
    return node.isValid() ? tree->visualRect(node).center() : QPoint(-1, -1);
}

} // namespace quill::ui::test
