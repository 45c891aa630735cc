// The print wizard walked through with clicks and keys: Enter for Next,
// Back, and Escape; the folder's documents in the window's list order,
// ticked, the warning when none is, the progress, no way back once the
// print file is made, and a PDF with each document on sheets of its own.
#include "ViewTestSupport.h"

#include "ui/DocumentListView.h"
#include "ui/PagePane.h"
#include "ui/PrintWizard.h"
#include "ui/QtShell.h"

#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace quill::ui {

using namespace test;

namespace {

// Ticks a document of the wizard's list with a click and the space bar.
QListWidgetItem* tick(QListWidget* list, const QString& name) {
    QListWidgetItem* item = list->findItems(name, Qt::MatchStartsWith).first();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    QTest::keyClick(list, Qt::Key_Space);
    return item;
}

// What a command of the distribution prints.
std::string outputOf(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        ::pclose(pipe);
    }
    return output;
}

} // namespace

class PrintWizardTest : public QObject {
    Q_OBJECT

private slots:
    void theStepsAreWalkedWithTheKeysAndOnlyTheLastSavesAsPdf() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QVERIFY(makeActive(&window));
        clickFolder(window, QStringLiteral("Meetings"));
        QVERIFY(drive<PrintWizard>([&] { QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier); },
                                   [&](PrintWizard* wizard) {
                                       QCOMPARE(wizard->step(), 1);
                                       QVERIFY(!wizard->backButton()->isEnabled());
                                       QVERIFY(!wizard->pdfButton()->isVisible());
                                       // Enter is Next, wherever the focus is.
                                       QTest::keyClick(wizard, Qt::Key_Return);
                                       QCOMPARE(wizard->step(), 2);
                                       QVERIFY(wizard->backButton()->isEnabled());
                                       QVERIFY(!wizard->pdfButton()->isVisible());
                                       QTest::mouseClick(wizard->backButton(), Qt::LeftButton);
                                       QCOMPARE(wizard->step(), 1);
                                       QTest::keyClick(wizard, Qt::Key_Return);
                                       QListWidget* list = wizard->documentList();
                                       tick(list, QStringLiteral("Weekly review"));
                                       QTest::keyClick(list, Qt::Key_Return);
                                       // The print file is made: no way back, but Finish, PDF and Cancel.
                                       QCOMPARE(wizard->step(), 4);
                                       QVERIFY(!wizard->backButton()->isEnabled());
                                       QVERIFY(wizard->nextButton()->isEnabled());
                                       QVERIFY(wizard->pdfButton()->isVisible());
                                       QVERIFY(wizard->findChild<QPushButton*>(QStringLiteral("Cancel"))->isEnabled());
                                       QTest::keyClick(wizard, Qt::Key_Escape);
                                       QVERIFY(!wizard->isVisible());
                                   }));
        QVERIFY(shown.f.ui.messages.empty());
        QVERIFY(window.close());
    }

    void twoMeetingsAreSavedAsAPdfOnSheetsOfTheirOwn() {
        if (outputOf("command -v pdftotext").empty())
            QSKIP("pdftotext is not installed");
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string pdf = shown.f.dir / "meetings.pdf";
        clickFolder(window, QStringLiteral("Meetings"));
        // The wizard offers the documents in the order the window's list shows them.
        QStringList listed;
        for (int row = 0; row < rowCount(window.documentList()); ++row)
            listed << rowText(window.documentList(), row);
        QCOMPARE(listed.size(), 6);

        QVERIFY(drive<PrintWizard>(
            [&] { QTest::mouseClick(toolButton(window, ToolbarButton::Print), Qt::LeftButton); },
            [&](PrintWizard* wizard) {
                clickNext(wizard);
                QListWidget* list = wizard->documentList();
                QCOMPARE(list->count(), 6);
                for (int row = 0; row < list->count(); ++row)
                    QVERIFY2(list->item(row)->text().startsWith(listed[row] + QStringLiteral(", ")),
                             qPrintable(list->item(row)->text() + QStringLiteral(" / ") + listed[row]));
                // Nothing ticked: a warning, and the wizard stays.
                const std::size_t said = shown.f.ui.messages.size();
                clickNext(wizard);
                QCOMPARE(wizard->step(), 2);
                QCOMPARE(shown.f.ui.messages.size(), said + 1);
                // Two meetings ticked with the space bar.
                for (const QString& name : {QStringLiteral("Annual review"), QStringLiteral("Weekly review")})
                    QCOMPARE(tick(list, name)->checkState(), Qt::Checked);
                clickNext(wizard);
                QCOMPARE(wizard->step(), 4);
                QCOMPARE(wizard->progressBar()->value(), 100);
                QVERIFY(wizard->pdfButton()->isVisible());
                saveShot(wizard, "print-wizard");
                // Where the PDF goes, as the user would choose it in the file dialog.
                wizard->setPdfFileChooser([&pdf](QWidget*, const QString&) { return QString::fromStdString(pdf); });
                QTest::mouseClick(wizard->pdfButton(), Qt::LeftButton);
                QTRY_VERIFY_WITH_TIMEOUT(!wizard->isVisible(), kTimeout);
            }));
        QVERIFY(std::filesystem::exists(pdf));

        // Each document starts a sheet: the first page of each names it.
        const std::string info = outputOf("pdfinfo '" + pdf + "'");
        const std::size_t pagesAt = info.find("Pages:");
        QVERIFY(pagesAt != std::string::npos);
        const int pages = std::stoi(info.substr(pagesAt + 6));
        QVERIFY2(pages >= 2, info.c_str());
        std::vector<int> starts;
        for (int page = 1; page <= pages; ++page) {
            const std::string text =
                outputOf("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf + "' -");
            if (holds(text, "Annual review") || holds(text, "Weekly review"))
                starts.push_back(page);
        }
        QCOMPARE(starts.size(), std::size_t(2));
        QVERIFY(starts[0] == 1);
        QVERIFY(window.close());
    }

    void printingSendsTheProgramsOwnPdfToThePrinter() {
        if (outputOf("command -v pdftotext").empty())
            QSKIP("pdftotext is not installed");
        // lp as a fake that keeps what it was given.
        TempDir spool;
        writeBytes(spool / "lp", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + (spool / "arguments") +
                                     "'\nfor last; do :; done\ncp \"$last\" '" + (spool / "job.pdf") + "'\n");
        std::filesystem::permissions(spool / "lp", std::filesystem::perms::owner_all);
        const std::string oldPath = std::getenv("PATH");
        ::setenv("PATH", (spool.path() + ":" + oldPath).c_str(), 1);
        QtShell desktop;
        LoggedOnWindow shown(false, [&](SessionFixture& f) { useShell(f, desktop); });
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        desktop.warnThrough(*shown.f.session);
        clickFolder(window, QStringLiteral("Meetings"));

        QVERIFY(drive<PrintWizard>([&] { QTest::mouseClick(toolButton(window, ToolbarButton::Print), Qt::LeftButton); },
                                   [&](PrintWizard* wizard) {
                                       wizard->setPrinterChooser([](QWidget*) {
                                           return std::optional<PrintWizard::PrintTarget>(
                                               PrintWizard::PrintTarget{QStringLiteral("office"), {}});
                                       });
                                       clickNext(wizard);
                                       tick(wizard->documentList(), QStringLiteral("Weekly review"));
                                       clickNext(wizard);
                                       QCOMPARE(wizard->step(), 4);
                                       clickNext(wizard); // Finish
                                       QTRY_VERIFY_WITH_TIMEOUT(!wizard->isVisible(), kTimeout);
                                   }));
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(spool / "job.pdf"), kTimeout);
        ::setenv("PATH", oldPath.c_str(), 1);
        QVERIFY(shown.f.ui.messages.empty());

        // To the chosen printer, named after the document, as a PDF with
        // its text, not pictures of the pages.
        const std::string arguments = readBytes(spool / "arguments");
        QVERIFY2(holds(arguments, "-d\noffice\n"), arguments.c_str());
        QVERIFY2(holds(arguments, "-t\nWeekly review\n"), arguments.c_str());
        const std::string job = spool / "job.pdf";
        QVERIFY(holds(outputOf("pdftotext '" + job + "' -"), "Weekly review"));
        QVERIFY(std::filesystem::file_size(job) < 1024 * 1024);
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::PrintWizardTest)

#include "PrintWizardTest.moc"
