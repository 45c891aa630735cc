// The start-up view's captions, the program's icon, Qt's own texts in the
// language of the language files, and the main window's life: it shows the
// user's title after logon and shuts the session down when it closes.
#include "ui/MainWindow.h"
#include "ui/PagePane.h"
#include "ui/ProgramIcon.h"
#include "ui/QtClock.h"
#include "ui/QtLanguage.h"
#include "ui/QtUi.h"
#include "ui/StartupForm.h"

#include "SessionFixture.h"
#include "ViewTestMain.h"

#include "formats/LanguageTexts.h"
#include "session/LogonContext.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QTreeView>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <filesystem>

namespace quill::ui {

class StartupAndMainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startupViewShowsTheCaptionOfEachStep() {
        test::SessionFixture f;
        QtUi ui;
        ui.setStartupCaptions([&f](int step) {
            return QString::fromStdString(
                f.session->texts.lookup("STARTUPSCREEN", "SCREEN_" + std::to_string(step), "Log"));
        });
        ui.showStartupStep(0);
        StartupForm* view = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            view = view ? view : qobject_cast<StartupForm*>(widget);
        QVERIFY(view);
        QVERIFY(view->isVisible());
        QCOMPARE(view->caption(), QStringLiteral("Opening the data point..."));
        QVERIFY(view->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(view->windowFlags() & Qt::FramelessWindowHint);
        ui.showStartupStep(2);
        QCOMPARE(view->caption(), QStringLiteral("Checking the password..."));
        if (const QByteArray shots = qgetenv("QUILL_VIEW_SHOTS"); !shots.isEmpty())
            view->grab().save(QString::fromLocal8Bit(shots) + "/startup.png");
        QPointer<StartupForm> watched(view);
        ui.closeStartup();
        QTRY_VERIFY(watched.isNull());
    }

    void clockWaitsKeepPaintingButTakeNoInput() {
        QtClock clock;
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int timerRuns = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++timerRuns; });
        ticker.start(10);
        QElapsedTimer elapsed;
        elapsed.start();
        clock.wait(std::chrono::milliseconds(200));
        QVERIFY(elapsed.elapsed() >= 190);
        // Timers and painting go on during the wait.
        QVERIFY(timerRuns > 3);
    }

    void theProgramIconIsBuiltIn() {
        // Built into the program, so a window from a build tree, where no
        // icon theme knows it, carries it as well.
        for (const int size : {16, 48, 256})
            QVERIFY2(QFile::exists(QStringLiteral(":/icons/quill-%1.png").arg(size)),
                     qPrintable(QString::number(size)));
        const QIcon icon = programIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixmap(QSize(48, 48)).size(), QSize(48, 48));
    }

    void qtsOwnTextsAndTheDatesFollowTheLanguageFiles() {
        const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!QFile::exists(translations + QStringLiteral("/qtbase_de.qm")))
            QSKIP("Qt's German translation is not installed (qt6-translations-l10n)");
        const QLocale before;
        test::TempDir languages;
        test::writeBytes(languages / "GUI.ini", "[LANGUAGE]\r\nCODE=de\r\n");
        LanguageTexts texts(languages.path());
        QVERIFY(useLanguage(texts.languageCode()));
        QDialogButtonBox german(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(german.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(QLocale().language(), QLocale::German);
        QCOMPARE(QLocale().monthName(3), QStringLiteral("M\u00e4rz"));

        // Back to English: the German translation goes again.
        test::writeBytes(languages / "GUI.ini", "[LANGUAGE]\r\nCODE=en\r\n");
        QVERIFY(useLanguage(texts.languageCode()));
        QDialogButtonBox english(QDialogButtonBox::Cancel);
        QCOMPARE(english.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
        QCOMPARE(QLocale().language(), QLocale::English);
        QLocale::setDefault(before);
    }

    void mainWindowTakesItsTitleAndShutsTheSessionDown() {
        test::SessionFixture f;
        QVERIFY(f.open());
        f.session->program.loggedOn = true;
        f.session->context.geometry.gui = {.top = 40, .left = 30, .width = 640, .height = 480};
        MainWindow window(*f.session);
        window.prepareForUser();
        // Who is logged on where, so that two sessions are told apart.
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("Anna Novak (ANNA) on %1 - Quill!")
                     .arg(QString::fromStdString(std::filesystem::path(f.dataPoint).filename().string())));
        // The tree as built for the user, its first node current.
        QTreeView* tree = window.treeView();
        const QModelIndex shared = tree->model()->index(0, 0);
        QCOMPARE(tree->model()->rowCount(), 5);
        QCOMPARE(shared.data().toString(), QStringLiteral("Shared documents"));
        QCOMPARE(tree->currentIndex(), shared);
        QVERIFY(tree->isExpanded(shared));
        QCOMPARE(window.width(), 640);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.resize(700, 500);
        // Another node's page is rendered when it becomes current.
        tree->setCurrentIndex(tree->model()->index(0, 0, shared));
        QVERIFY(window.tree().focused != nullptr);
        QCOMPARE(QString::fromStdString(window.tree().focused->caption), tree->currentIndex().data().toString());
        QVERIFY(window.close());
        const std::string userLog = test::readBytes(f.dataPoint + "/DataPoint.system/Logs/ANNA.log");
        QVERIFY(!userLog.empty());
        QCOMPARE(f.session->context.geometry.gui.width, 700);
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::StartupAndMainWindowTest)

#include "StartupAndMainWindowTest.moc"
