// The desktop's helpers (opener, mail, printing) run on their own; one that
// ends with a failure is told to the user when it ends, with its own
// warning, and help the desktop cannot open is shown in the window's page
// pane, or beside a view that holds the window. Fake helpers on PATH end as
// the real ones do when they fail.
#include "ViewTestSupport.h"

#include "ui/FindView.h"
#include "ui/PagePane.h"
#include "ui/QtShell.h"

#include <QDialog>
#include <QUrl>

#include <cstdlib>
#include <filesystem>

namespace quill::ui {

using namespace test;

namespace {

// PATH holds only the fake helpers while it lives.
class FakeHelpers {
public:
    FakeHelpers() : oldPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        ::setenv("PATH", dir_.path().c_str(), 1);
    }
    ~FakeHelpers() { ::setenv("PATH", oldPath_.c_str(), 1); }
    FakeHelpers(const FakeHelpers&) = delete;
    FakeHelpers& operator=(const FakeHelpers&) = delete;

    // A helper that ends with this exit code; one never made is missing.
    void exitWith(const std::string& program, int code) {
        const std::string file = dir_ / program;
        writeBytes(file, "#!/bin/sh\nexit " + std::to_string(code) + "\n");
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }
    void remove(const std::string& program) { std::filesystem::remove(dir_ / program); }

private:
    TempDir dir_;
    std::string oldPath_;
};

} // namespace

class DesktopHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void aHelperThatFailsIsToldWithItsOwnWarning() {
        SessionFixture f;
        QVERIFY(f.open());
        Session& session = *f.session;
        QtShell desktop;
        desktop.warnThrough(session);
        FakeHelpers helpers;
        const std::string file = f.dataPoint + "/contract.odt";
        const auto warning = [&](int number) {
            return QString::fromStdString(
                session.texts.lookup("GUI_FORM", "WARNING_" + std::to_string(number), "Warnings"));
        };
        struct Case {
            const char* what;
            const char* program;
            int exit; // -1: not installed
            std::function<bool()> start;
            int warning; // 0: none
        };
        const Case cases[] = {
            {"no program for the type", "xdg-open", 4, [&] { return desktop.openWithAssociatedProgram(file, {}, {}); },
             QtShell::kOpenFailed},
            {"opened", "xdg-open", 0, [&] { return desktop.openWithAssociatedProgram(file, {}, {}); }, 0},
            {"no opener installed: the caller is told", "xdg-open", -1,
             [&] { return desktop.openWithAssociatedProgram(file, {}, {}); }, 0},
            {"no mail program", "xdg-email", 3, [&] { return desktop.sendMail("Contract", file); },
             QtShell::kMailFailed},
            {"mail started", "xdg-email", 0, [&] { return desktop.sendMail("Contract", file); }, 0},
            {"printer refuses the job", "lp", 1, [&] { return desktop.printFile(file, "office", "Contract"); },
             QtShell::kPrintFailed},
            {"printed", "lp", 0, [&] { return desktop.printFile(file, "office", "Contract"); }, 0},
        };
        for (const Case& c : cases) {
            const QByteArray what = c.what;
            if (c.exit < 0)
                helpers.remove(c.program);
            else
                helpers.exitWith(c.program, c.exit);
            f.ui.messages.clear();
            // A helper that is not there fails at once, for the caller to
            // tell; the others are told when they end.
            QVERIFY2(c.start() == (c.exit >= 0), what);
            // A helper's end is told in the same look that finds it ended.
            QTRY_COMPARE_WITH_TIMEOUT(desktop.helpersRunning(), std::size_t(0), kTimeout);
            if (c.warning == 0) {
                QVERIFY2(f.ui.messages.empty(), what);
                continue;
            }
            QCOMPARE(f.ui.messages.size(), std::size_t(1));
            QVERIFY2(f.ui.messages[0].first == MessageKind::Error, what);
            QVERIFY2(QString::fromStdString(f.ui.messages[0].second).startsWith(warning(c.warning)), what);
        }
    }

    void helpTheDesktopCannotOpenIsShownInThePagePane() {
        QtShell desktop;
        FakeHelpers helpers;
        helpers.exitWith("xdg-open", 3);
        // The window's session uses the real desktop, not a recording one.
        LoggedOnWindow shown(false, [&](SessionFixture& f) { useShell(f, desktop); });
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        desktop.warnThrough(*shown.f.session);
        desktop.showPageInstead = [&window](const std::string& page) { window.showHelpPage(page); };

        // An opener that finds no browser, and none at all.
        for (const auto& [exit, folder] : {std::pair{3, "Meetings"}, std::pair{-1, "Projects"}}) {
            if (exit < 0)
                helpers.remove("xdg-open");
            clickFolder(window, QString::fromUtf8(folder));
            QTRY_VERIFY_WITH_TIMEOUT(
                !window.pagePane()->view()->url().toLocalFile().endsWith(QStringLiteral("GUIFORM_HELPBUTTON.htm")),
                kTimeout);
            QTest::mouseClick(toolButton(window, 9), Qt::LeftButton, {}, QPoint(8, 8));
            QTRY_VERIFY_WITH_TIMEOUT(
                window.pagePane()->view()->url().toLocalFile().endsWith(QStringLiteral("GUIFORM_HELPBUTTON.htm")),
                kTimeout);
            QVERIFY(shown.f.ui.messages.empty());
        }

        // From a view that holds the window, the page comes beside the view.
        QString helpShown;
        whenShown<FindView>([&](FindView* find) {
            clickAction(find, "Help");
            QDialog* help = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((help = find->findChild<QDialog*>("HelpPage")) && help->isVisible(), kTimeout);
            auto* pane = help->findChild<PagePane*>();
            QVERIFY(pane);
            QTRY_VERIFY_WITH_TIMEOUT(!pane->view()->url().isEmpty(), kTimeout);
            helpShown = pane->view()->url().toLocalFile();
            help->close();
            find->reject();
        });
        QTest::mouseClick(toolButton(window, 6), Qt::LeftButton);
        QVERIFY2(helpShown.endsWith(QStringLiteral("FINDFORM_HELPBUTTON.htm")), qPrintable(helpShown));
        QVERIFY(shown.f.ui.messages.empty());
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::DesktopHelpersTest)

#include "DesktopHelpersTest.moc"
