// Times the logon as a user meets it: from the accepted password to the
// main window on screen with its tree and the actual folder's page, and on
// to the end of the task count; and the memory the window takes beyond the
// process before the logon. Run under a display (Xvfb will do):
//   quill_window_bench DATAPOINT LOGON PASSWORD
#include "formats/RegistryStore.h"
#include "platform/FileSystem.h"
#include "session/Logon.h"
#include "session/ProgramStart.h"
#include "session/Session.h"
#include "ui/MainWindow.h"
#include "ui/PagePane.h"
#include "ui/QtClock.h"
#include "ui/QtShell.h"
#include "ui/QtText.h"
#include "ui/QtUi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <functional>
#include <fstream>
#include <string>

namespace {

// Resident memory of this process in KiB, from /proc.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: quill_window_bench DATAPOINT LOGON PASSWORD\n");
        return 2;
    }
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    quill::ui::PagePane::registerSchemes();
    QApplication app(argc, argv);

    quill::ProgramValues program = quill::ProgramValues::forProgram(quill::ui::fromQt(app.applicationDirPath()));
    quill::RegistryStore registry(quill::RegistryStore::defaultPath());
    if (quill::initialiseProgram(program, registry) == quill::ProgramStart::NoLanguageDirectory ||
        quill::chooseDataPoint(program, argv[1]) == quill::DataPointChoice::NotADataPoint) {
        std::fprintf(stderr, "quill_window_bench: cannot open %s\n", argv[1]);
        return 1;
    }
    quill::ui::QtClock clock;
    quill::ui::QtUi ui;
    quill::ui::QtShell shell;
    quill::Session session(std::move(program), clock, ui, shell);
    session.formats = quill::machineDateTimeFormats(registry);
    auto window = std::make_unique<quill::ui::MainWindow>(session);
    const long before = residentKiB();

    QElapsedTimer timer;
    timer.start();
    int failed = 0;
    if (quill::attemptLogon(session, registry, {argv[2], argv[3], false}, failed) != quill::LogonOutcome::LoggedOn) {
        std::fprintf(stderr, "quill_window_bench: the logon of %s failed\n", argv[2]);
        return 1;
    }
    const qint64 loggedOn = timer.elapsed();
    window->prepareForUser();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return 1;
    QApplication::processEvents();
    const qint64 shown = timer.elapsed();
    const long shownKiB = residentKiB();
    // Ctrl+F while the tasks are still being counted: the find view is
    // modal, so a timer notes when it is up and closes it again.
    window->activateWindow();
    const bool active = QTest::qWaitForWindowActive(window.get());
    qint64 findAnswered = -1;
    const qint64 findAsked = timer.elapsed();
    QTimer findProbe;
    findProbe.setInterval(2);
    QObject::connect(&findProbe, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (findAnswered < 0)
            findAnswered = timer.elapsed() - findAsked;
        modal->close();
    });
    findProbe.start();
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    const bool findOpened = QTest::qWaitFor([&] { return findAnswered >= 0; }, 10000);
    findProbe.stop();
    std::printf("Ctrl+F: the find view %s %lld ms after the key%s\n", findOpened ? "up" : "NOT up",
                static_cast<long long>(findAnswered), active ? "" : " (the window was not active)");
    auto* status = window->findChild<QLabel*>(QStringLiteral("TaskStatus"));
    const QString counting = quill::ui::toQt(session.texts.lookup("GUI_FORM", "STATUSBAR_COUNTING", "GUI"));
    const bool counted = QTest::qWaitFor([&] { return status && status->text() != counting; }, 120000);
    const qint64 tasks = timer.elapsed();
    const QAbstractItemModel* tree = window->treeView()->model();
    const std::function<int(const QModelIndex&)> rowsBelow = [&](const QModelIndex& parent) {
        int rows = tree->rowCount(parent);
        for (int row = tree->rowCount(parent) - 1; row >= 0; --row)
            rows += rowsBelow(tree->index(row, 0, parent));
        return rows;
    };
    const int items = rowsBelow({});
    std::printf("logon %lld ms; window shown with %d tree items %lld ms after the password; tasks counted %s %lld ms "
                "after it (%s)\n",
                static_cast<long long>(loggedOn), items, static_cast<long long>(shown), counted ? "" : "NOT",
                static_cast<long long>(tasks), status ? quill::ui::fromQt(status->text()).c_str() : "no status");
    std::printf("resident memory: %ld KiB before the logon, %ld KiB with the window shown, %ld KiB with the tasks "
                "counted\n",
                before, shownKiB, residentKiB());
    window->close();
    return 0;
}
