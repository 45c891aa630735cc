// The logon view driven as a user drives it: keys and clicks, with the
// test clock standing in for the waits and recording fakes for the boxes.
#include "ViewTestSupport.h"

#include "ui/LoginForm.h"
#include "ui/PathShortening.h"

#include "SessionFixture.h"

#include "datapoint/DataPointInfo.h"
#include "formats/FieldCipher.h"
#include "formats/RegistryStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QtTest>

#include <memory>

namespace quill::ui {

class LoginFormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::SessionFixture> f;
    std::unique_ptr<RegistryStore> registry;

    Session& session() { return *f->session; }
    std::unique_ptr<LoginForm> makeForm() {
        auto form = std::make_unique<LoginForm>(session(), *registry);
        form->show();
        return form;
    }
    template <typename T> static T* child(LoginForm& form, const char* name) {
        T* widget = form.findChild<T*>(name);
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    static void type(LoginForm& form, const QString& name, const QString& password) {
        child<QLineEdit>(form, "LoginName")->setText(name);
        child<QLineEdit>(form, "Password")->setText(password);
    }
    std::string lastMessage() const { return f->ui.messages.empty() ? "" : f->ui.messages.back().second; }

private slots:
    void init() {
        f = std::make_unique<test::SessionFixture>();
        registry = std::make_unique<RegistryStore>(f->dir / "registry.ini");
        session().program.knownDataPoints = {f->dataPoint};
        session().program.actualDataPoint = 0;
    }
    void cleanup() {
        registry.reset();
        f.reset();
    }

    void textsComeFromTheLanguageFiles() {
        auto form = makeForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Quill! - Log on"));
        QCOMPARE(child<QPushButton>(*form, "Ok")->text(), QStringLiteral("&OK"));
        QCOMPARE(child<QPushButton>(*form, "Cancel")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(child<QPushButton>(*form, "Browse")->text(), QStringLiteral("&Browse..."));
        QCOMPARE(child<QCheckBox>(*form, "AutoLogon")->text(), QStringLiteral("Log me on &automatically"));
        QStringList labels;
        for (const QLabel* label : form->findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains(QStringLiteral("&Logon name:")));
        QVERIFY(labels.contains(QStringLiteral("&Password:")));
        QVERIFY(labels.contains(QStringLiteral("&Data point:")));
        QCOMPARE(child<QLineEdit>(*form, "LoginName")->text(), QStringLiteral("ANNA"));
        QCOMPARE(child<QLineEdit>(*form, "Password")->echoMode(), QLineEdit::Password);
    }

    void moreButtonTogglesTheHeightAndItsText() {
        auto form = makeForm();
        QPushButton* more = child<QPushButton>(*form, "More");
        QCOMPARE(form->height(), LoginForm::kCollapsedHeight);
        QCOMPARE(more->text(), QStringLiteral("&More >>"));
        QVERIFY(!child<QCheckBox>(*form, "AutoLogon")->isVisible());
        QTest::mouseClick(more, Qt::LeftButton);
        QCOMPARE(form->height(), LoginForm::kExpandedHeight);
        QCOMPARE(more->text(), QStringLiteral("<< L&ess"));
        QVERIFY(child<QCheckBox>(*form, "AutoLogon")->isVisible());
        QTest::mouseClick(more, Qt::LeftButton);
        QCOMPARE(form->height(), LoginForm::kCollapsedHeight);
    }

    void tabGoesInReadingOrderAndAltKeysReachTheBoxes() {
        auto form = makeForm();
        QTest::mouseClick(child<QPushButton>(*form, "More"), Qt::LeftButton); // everything shown
        QVERIFY(test::makeActive(form.get()));
        child<QLineEdit>(*form, "LoginName")->setFocus();
        // Top to bottom, then the buttons from the left, and round again.
        const QStringList reading = {"Password", "DataPoint", "Browse", "AutoLogon",
                                     "More",     "Ok",        "Cancel", "LoginName"};
        for (const QString& next : reading) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }

        // Each label's access key takes the keyboard to its box.
        const struct {
            Qt::Key key;
            const char* focused;
        } rows[] = {{Qt::Key_P, "Password"}, {Qt::Key_D, "DataPoint"}, {Qt::Key_L, "LoginName"}};
        for (const auto& row : rows) {
            QTest::keyClick(QApplication::focusWidget(), row.key, Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(row.focused));
        }

        // No two controls share an access key.
        QStringList keys;
        for (const QAbstractButton* button : form->findChildren<QAbstractButton*>())
            keys << test::accessKey(button->text());
        for (const QLabel* label : form->findChildren<QLabel*>()) {
            if (label->buddy())
                keys << test::accessKey(label->text());
        }
        QVERIFY2(!keys.contains(QChar()), qPrintable(keys.join(u',')));
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    }

    void wrongPasswordKeepsTheViewOpenAndCounts() {
        auto form = makeForm();
        type(*form, "ANNA", "Anna"); // letter case matters
        QTest::mouseClick(child<QPushButton>(*form, "Ok"), Qt::LeftButton);
        QCOMPARE(form->lastOutcome(), LogonOutcome::WrongPassword);
        QCOMPARE(form->failedAttempts(), 1);
        QVERIFY(form->isVisible());
        QCOMPARE(lastMessage(), std::string("The logon name or the password is wrong."));
        type(*form, "ANNA", "wrong");
        QTest::keyClick(child<QLineEdit>(*form, "Password"), Qt::Key_Return);
        QCOMPARE(form->failedAttempts(), 2);
        QCOMPARE(f->clock.waits, (std::vector<long long>{0, 1500}));
        QVERIFY(!session().program.loggedOn);
    }

    void unknownNameWaitsThreeSecondsOnTheTestClock() {
        auto form = makeForm();
        type(*form, "NOBODY", "anna");
        QTest::keyClick(child<QLineEdit>(*form, "LoginName"), Qt::Key_Return);
        QCOMPARE(form->lastOutcome(), LogonOutcome::NoUser);
        QCOMPARE(form->failedAttempts(), 0);
        QCOMPARE(f->clock.waits, std::vector<long long>{3000});
        QVERIFY(form->isVisible());
    }

    void goodLogonClosesTheViewAndWritesTheRegistry() {
        auto form = makeForm();
        type(*form, "ANNA", "anna");
        QTest::keyClick(child<QLineEdit>(*form, "Password"), Qt::Key_Return);
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QVERIFY(!form->isVisible());
        QVERIFY(session().program.loggedOn);
        QCOMPARE(registry->read(kRegistryKey, "DataPointPath_0").value_or(""), f->dataPoint);
        QCOMPARE(cipher::decipher(cipher::kFieldKey, registry->read(kRegistryKey, "UserPassword").value_or("")),
                 std::string("anna"));
        QVERIFY(f->clock.waits.empty());
    }

    void controlEnterLogsOnEscapeCancels() {
        auto form = makeForm();
        type(*form, "ANNA", "anna");
        // Shortcuts reach only the active window.
        QVERIFY(test::makeActive(form.get()));
        QPushButton* more = child<QPushButton>(*form, "More");
        more->setFocus();
        QTest::keyClick(more, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(form->lastOutcome(), LogonOutcome::LoggedOn);

        auto other = makeForm();
        QTest::keyClick(child<QLineEdit>(*other, "LoginName"), Qt::Key_Escape);
        QCOMPARE(other->result(), int(QDialog::Rejected));
        QCOMPARE(lastMessage(), std::string("Logon cancelled. Quill! will close now."));
        QVERIFY(!session().program.loggedOn);
    }

    void fifthWrongPasswordEndsTheProgram() {
        auto form = makeForm();
        for (int n = 0; n < 5; ++n) {
            type(*form, "ANNA", "guess");
            QTest::mouseClick(child<QPushButton>(*form, "Ok"), Qt::LeftButton);
        }
        QCOMPARE(form->result(), LoginForm::kEndProgram);
        QCOMPARE(f->clock.waits, (std::vector<long long>{0, 1500, 4000, 8000, 12000}));
        QCOMPARE(lastMessage(), std::string("The password was wrong five times. Quill! will close now."));
    }

    void autoLogonStartsByItselfWhenTheDataPointAllowsIt() {
        session().program.autoLogonWanted = true;
        session().program.storedPassword = "anna";
        auto form = makeForm();
        QVERIFY(child<QCheckBox>(*form, "AutoLogon")->isEnabled());
        QVERIFY(child<QCheckBox>(*form, "AutoLogon")->isChecked());
        QCOMPARE(child<QLineEdit>(*form, "Password")->text(), QStringLiteral("anna"));
        QVERIFY(form->autoLogonPending());
        QTRY_COMPARE_WITH_TIMEOUT(form->result(), int(QDialog::Accepted), 10000);
        QCOMPARE(registry->read(kRegistryKey, "UserAutoLogon").value_or(""), std::string("1"));
    }

    void browsingStopsThePendingAutomaticLogon() {
        session().program.autoLogonWanted = true;
        session().program.storedPassword = "anna";
        auto form = makeForm();
        QVERIFY(form->autoLogonPending());
        bool pendingWhileChoosing = true;
        form->setFolderChooser([&](QWidget*, const QString&) {
            pendingWhileChoosing = form->autoLogonPending();
            return QString();
        });
        QTest::mouseClick(child<QPushButton>(*form, "Browse"), Qt::LeftButton);
        QVERIFY(!pendingWhileChoosing);
        QVERIFY(!form->autoLogonPending());
        QVERIFY(!session().program.loggedOn);
    }

    void dataPointWithoutAutoLogonDisablesTheBox() {
        DataPointDescription description;
        description.autoLogon = false;
        QVERIFY(writeDataPointInfo(f->dataPoint, description).ok());
        session().program.autoLogonWanted = true;
        session().program.storedPassword = "anna";
        auto form = makeForm();
        QVERIFY(!child<QCheckBox>(*form, "AutoLogon")->isEnabled());
        QVERIFY(!child<QCheckBox>(*form, "AutoLogon")->isChecked());
        QVERIFY(!form->autoLogonPending());
        type(*form, "ANNA", "anna");
        QTest::mouseClick(child<QPushButton>(*form, "Ok"), Qt::LeftButton);
        QCOMPARE(registry->read(kRegistryKey, "UserAutoLogon").value_or(""), std::string("0"));
    }

    void browsingToAKnownFolderSelectsIt() {
        const std::string other = test::copySampleDataPoint(f->home.dir());
        session().program.knownDataPoints = {other, f->dataPoint};
        session().program.actualDataPoint = 0;
        auto form = makeForm();
        QComboBox* box = child<QComboBox>(*form, "DataPoint");
        QCOMPARE(box->currentIndex(), 0);
        form->setFolderChooser([&](QWidget*, const QString&) { return QString::fromStdString(f->dataPoint + "/"); });
        QTest::mouseClick(child<QPushButton>(*form, "Browse"), Qt::LeftButton);
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->currentIndex(), 1);
        QCOMPARE(session().program.actualDataPoint, std::size_t(1));

        // A folder without DataPoint.info changes nothing and says why.
        form->setFolderChooser([&](QWidget*, const QString&) { return QString::fromStdString(f->dir.path()); });
        QTest::mouseClick(child<QPushButton>(*form, "Browse"), Qt::LeftButton);
        QCOMPARE(box->count(), 2);
        QCOMPARE(f->ui.messages.back().first, MessageKind::Information);
    }

    void longPathsLoseMiddleDirectoriesFirst() {
        const QFontMetrics metrics(QApplication::font());
        const QString path = QStringLiteral("/srv/shares/department/projects/2026/archive/DataPoint");
        const QString shortened = shortenPath(path, metrics, 200);
        QVERIFY(metrics.horizontalAdvance(shortened) <= 200);
        QVERIFY(shortened.startsWith(QStringLiteral("/srv/")));
        QVERIFY(shortened.endsWith(QStringLiteral("/DataPoint")));
        QVERIFY(shortened.contains(QChar(0x2026)));
        QCOMPARE(shortenPath(QStringLiteral("/a/b"), metrics, 200), QStringLiteral("/a/b"));
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::LoginFormTest)

#include "LoginFormTest.moc"
