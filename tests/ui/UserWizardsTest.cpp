// An administrator creates a user from the Users page with the wizard, the
// user logs on through the logon view, and the administrator deletes them
// again with their data, with real clicks and keys.
#include "ViewTestSupport.h"

#include "ui/LoginForm.h"
#include "ui/PagePane.h"
#include "ui/PropertiesView.h"
#include "ui/UserWizards.h"
#include "ui/UsersView.h"

#include "formats/RegistryStore.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>

#include <filesystem>

namespace quill::ui {

using namespace test;

class UserWizardsTest : public QObject {
    Q_OBJECT

    // Opens the rights picker of the Meetings folder's properties as a user
    // would: 1 when it offers the user of that name, 0 when not, -1 when
    // the picker did not open.
    static int rightsPickerOffers(MainWindow& window, const QString& name) {
        bool offered = false;
        bool picked = false;
        whenShown<PropertiesView>([&](PropertiesView* properties) {
            whenShown<UsersView>([&](UsersView* users) {
                offered = userRow(users->allUsers(), name) != nullptr;
                picked = true;
                clickAction(users, "Cancel");
            });
            QTest::mouseClick(properties->rightsButton(), Qt::LeftButton);
            clickAction(properties, "Cancel");
        });
        if (!openProperties(window, QStringLiteral("Meetings")) || !picked)
            return -1;
        return offered ? 1 : 0;
    }

private slots:
    void aUserIsCreatedAndDeletedFromTheUsersPage() {
        LoggedOnWindow shown(true);
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        QWebEngineView* view = window.pagePane()->view();
        const std::string record = shown.f.dataPoint + "/DataPoint.system/Users/ALEE.user";
        clickFolder(window, QStringLiteral("Users"));

        bool created = false;
        whenShown<CreateUserWizard>([&](CreateUserWizard* wizard) {
            // Names missing: a warning, and the page stays.
            clickNext(wizard, 2);
            QCOMPARE(wizard->step(), 2);
            QTest::keyClicks(wizard->field("LogonName"), QStringLiteral("ALEE"));
            QTest::keyClicks(wizard->field("Name"), QStringLiteral("Alice"));
            QTest::keyClicks(wizard->field("Surname"), QStringLiteral("Lee"));
            clickNext(wizard);
            QTest::keyClicks(wizard->field("Mail"), QStringLiteral("alice@example.com"));
            clickNext(wizard);
            QTest::keyClicks(wizard->field("Password"), QStringLiteral("first"));
            QTest::keyClicks(wizard->field("PasswordAgain"), QStringLiteral("frist"));
            clickNext(wizard);
            QCOMPARE(wizard->step(), 4);
            retype(wizard->field("PasswordAgain"), QStringLiteral("first"));
            clickNext(wizard);
            QCOMPARE(wizard->step(), 5);
            saveShot(wizard, "create-user-wizard");
            clickNext(wizard);
            created = true;
        });
        clickUntil(view, QStringLiteral("a[href=\"COMMAND:DATAPOINT:CREATE_NEW_USER\"]"), created);
        QVERIFY(std::filesystem::exists(record));
        QCOMPARE(shown.f.ui.messages.size(), std::size_t(2)); // the two warnings
        // The tree is built again and shows the new user.
        QTRY_VERIFY_WITH_TIMEOUT(findItem(window.treeView(), QStringLiteral("Alice Lee")).isValid(), kTimeout);
        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("The new user was created."));
        // Without logging on again, the new user can be given rights.
        QCOMPARE(rightsPickerOffers(window, QStringLiteral("Alice Lee")), 1);

        // The new user logs on through the logon view, on a program of
        // their own.
        {
            ProgramValues program = shown.f.session->program;
            program.loggedOn = program.isAdministrator = false;
            program.knownDataPoints = {shown.f.dataPoint};
            program.actualDataPoint = 0;
            RecordingUi ui;
            Session other(std::move(program), shown.f.clock, ui, shown.f.shell);
            RegistryStore registry(shown.f.dir / "alee-registry.ini");
            LoginForm logon(other, registry);
            logon.show();
            retype(logon.findChild<QLineEdit*>("LoginName"), QStringLiteral("ALEE"));
            QTest::keyClicks(logon.findChild<QLineEdit*>("Password"), QStringLiteral("first"));
            QTest::mouseClick(logon.findChild<QPushButton*>("Ok"), Qt::LeftButton);
            QVERIFY(other.program.loggedOn);
            QCOMPARE(other.program.fullName, std::string("Alice Lee"));
        }

        bool deleted = false;
        whenShown<DeleteUserWizard>([&](DeleteUserWizard* wizard) {
            clickNext(wizard);
            QListWidget* users = wizard->userList();
            const auto rows = users->findItems(QStringLiteral("Alice Lee (ALEE)"), Qt::MatchStartsWith);
            QCOMPARE(rows.size(), 1);
            QTest::mouseClick(users->viewport(), Qt::LeftButton, {}, users->visualItemRect(rows.first()).center());
            QTest::mouseClick(wizard->withDataBox(), Qt::LeftButton);
            clickNext(wizard, 2);
            deleted = true;
        });
        clickFolder(window, QStringLiteral("Users"));
        clickUntil(view, QStringLiteral("a[href=\"COMMAND:DATAPOINT:DELETE_USER\"]"), deleted);
        QVERIFY(!std::filesystem::exists(record));
        QVERIFY(!std::filesystem::exists(shown.f.dataPoint + "/DataPoint.users/ALEE"));
        QCOMPARE(rightsPickerOffers(window, QStringLiteral("Alice Lee")), 0);
        QCOMPARE(rightsPickerOffers(window, QStringLiteral("Anna Novak")), 1);
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::UserWizardsTest)

#include "UserWizardsTest.moc"
