// A change the library refuses reaches the user as the warning of the
// language files, in the user's language, with the library's reason after
// it; never as the library's English alone.
#include "ViewTestSupport.h"

#include "ui/PropertiesView.h"
#include "ui/UserFoldersWizard.h"

#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <functional>

namespace quill::ui {

using namespace test;

class FailureMessageTest : public QObject {
    Q_OBJECT

private slots:
    void aRefusedChangeShowsTheLanguageFileWarningWithTheReason() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QTreeView* tree = window.treeView();
        Session& session = *shown.f.session;
        const std::string root = shown.f.dataPoint + "/DataPoint.root";

        const struct {
            const char* what;
            std::function<bool()> act; // clicks through the flow; false when a view never came
            const char* section;
            int warning;
            const char* reason; // a part of the library's own words
        } rows[] = {
            {"a folder renamed onto a sibling's name",
             [&] {
                 bool typed = false;
                 whenShown<PropertiesView>([&](PropertiesView* properties) {
                     retype(properties->nameField(), QStringLiteral("Projects"));
                     typed = true;
                     clickAction(properties, "Ok");
                 });
                 return openProperties(window, QStringLiteral("Meetings")) && typed;
             },
             "FOLDER_NAME", 5, "exists already"},
            {"a top folder connected a second time",
             [&] {
                 bool typed = false;
                 whenShown<UserFoldersWizard>([&](UserFoldersWizard* wizard) {
                     clickNext(wizard);
                     QTest::keyClicks(wizard->field("Directory"), QString::fromStdString(root));
                     clickNext(wizard);
                     typed = true;
                     QTest::mouseClick(wizard->cancelButton(), Qt::LeftButton);
                 });
                 rightClickItem(tree, findItem(tree, QStringLiteral("Shared documents")));
                 return clickMenuItem(QStringLiteral("Top folders")) &&
                        clickMenuItem(QStringLiteral("Connect or create a folder...")) && typed;
             },
             "WIZZARD_USERFOLDERS", 1, "connected already"},
        };
        for (const auto& row : rows) {
            const std::size_t before = shown.f.ui.messages.size();
            QVERIFY2(row.act(), row.what);
            QVERIFY2(shown.f.ui.messages.size() == before + 1, row.what);
            const std::string& said = shown.f.ui.messages.back().second;
            const std::string warning =
                session.texts.lookup(row.section, "WARNING_" + std::to_string(row.warning), "Warnings");
            // The language file has the text: what a missing key gives
            // instead would not tell the view's warning from any other.
            QVERIFY2(warning != session.texts.lookup(row.section, "WARNING_999", "Warnings"), row.what);
            QVERIFY2(said.rfind(warning + " ", 0) == 0, qPrintable(QString::fromStdString(said)));
            QVERIFY2(said.find(row.reason) != std::string::npos, qPrintable(QString::fromStdString(said)));
        }
        // Nothing was changed by the refused attempts.
        QVERIFY(std::filesystem::exists(root + "/Meetings/folder.folders"));
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::FailureMessageTest)

#include "FailureMessageTest.moc"
