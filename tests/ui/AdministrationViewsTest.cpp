// Setting a data point up with real clicks and keys: a folder's properties
// with a new picture and a new group, a new data point the logon view
// offers, a connected and reordered top folder, a file made from a
// template, and names for new folders and groups that are refused with the
// reason.
#include "ViewTestSupport.h"

#include "ui/ConnectFoldersView.h"
#include "ui/DataPointWizard.h"
#include "ui/ImageLists.h"
#include "ui/LoginForm.h"
#include "ui/OneLineTextView.h"
#include "ui/PagePane.h"
#include "ui/PropertiesView.h"
#include "ui/ResourceWizards.h"
#include "ui/ResourcesView.h"
#include "ui/UserFoldersWizard.h"
#include "ui/UsersView.h"

#include "formats/RegistryStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <filesystem>

namespace quill::ui {

using namespace test;

class AdministrationViewsTest : public QObject {
    Q_OBJECT

private slots:
    void aBadNameForANewFolderOrGroupIsToldWhatIsWrong() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        Session& session = *shown.f.session;
        const auto told = [&session](const char* section, int number) {
            return session.texts.lookup(section, "WARNING_" + std::to_string(number), "Warnings");
        };
        // Each name once as a folder's and once as a group's. Before, both
        // were taken and failed as a write that could not be done.
        const struct {
            QString name;
            int warning;
        } rows[] = {
            {QStringLiteral("../../escape"), 2},
            {QStringLiteral(".."), 2},
            {QString(300, u'n'), 4},
        };
        for (const auto& row : rows) {
            for (const char* section : {"FOLDER_NAME", "GROUP_NAME"}) {
                const std::size_t before = shown.f.ui.messages.size();
                const bool folder = std::string_view(section) == "FOLDER_NAME";
                bool typed = false;
                if (folder) {
                    clickFolder(window, QStringLiteral("Meetings"));
                    whenShown<QInputDialog>([&](QInputDialog* ask) {
                        typeAndEnter(ask->findChild<QLineEdit*>(), row.name);
                        typed = true;
                    });
                    QTest::mouseClick(toolButton(window, 2), Qt::LeftButton, {}, QPoint(8, 8));
                } else {
                    whenShown<PropertiesView>([&](PropertiesView* properties) {
                        whenShown<UsersView>([&](UsersView* users) {
                            const int groups = users->groups()->count();
                            whenShown<OneLineTextView>(
                                [&](OneLineTextView* ask) { typeAndEnter(ask->textBox()->lineEdit(), row.name); });
                            clickAction(users, "NewGroup");
                            typed = users->groups()->count() == groups;
                            clickAction(users, "Cancel");
                        });
                        QTest::mouseClick(properties->rightsButton(), Qt::LeftButton);
                        clickAction(properties, "Cancel");
                    });
                    QVERIFY(openProperties(window, QStringLiteral("Meetings")));
                }
                const QString where = QStringLiteral("%1 %2").arg(QLatin1String(section), row.name.left(20));
                QVERIFY2(typed, qPrintable(where));
                QVERIFY2(shown.f.ui.messages.size() == before + 1, qPrintable(where));
                std::string expected = told(section, row.warning);
                if (const auto marker = expected.find("$LETTERS$"); marker != std::string::npos)
                    expected.replace(marker, 9, "64");
                QVERIFY2(shown.f.ui.messages.back().second == expected,
                         qPrintable(where + ": " + QString::fromStdString(shown.f.ui.messages.back().second)));
            }
        }
        QVERIFY(!std::filesystem::exists(shown.f.dataPoint + "/escape"));
        // A name too long for the file system cannot be there; the error
        // code keeps that from throwing.
        std::error_code tooLong;
        QVERIFY(!std::filesystem::exists(
            session.context.settings.userGroupsResourceDirectory + "/" + std::string(300, 'n') + ".groups", tooLong));
        QVERIFY(window.close());
    }

    void aFolderGetsANotePictureTeamAndNameThatItsHistoryShows() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const std::string root = shown.f.dataPoint + "/DataPoint.root/";
        const QString picture = QString::fromStdString(shown.f.dir / "boardroom.png");
        QImage(16, 16, QImage::Format_RGB32).save(picture);
        const std::string notPicture = shown.f.dir / "notes.bmp";
        writeBytes(notPicture, "only text");

        QVERIFY(drive<PropertiesView>(
            [&] { QVERIFY(openProperties(window, QStringLiteral("Meetings"))); },
            [&](PropertiesView* properties) {
                QCOMPARE(properties->tabs()->currentIndex(), 1);
                QTest::keyClicks(properties->noteField(), QStringLiteral(" every Monday"));
                retype(properties->nameField(), QStringLiteral("Gatherings"));

                // A picture is added (a text file is refused first) and picked.
                whenShown<ResourcesView>([&](ResourcesView* resources) {
                    whenShown<AddResourcesWizard>([&](AddResourcesWizard* wizard) {
                        clickNext(wizard);
                        QTest::keyClicks(wizard->sourceField(), QString::fromStdString(notPicture));
                        QTest::keyClicks(wizard->nameField(), QStringLiteral("NOTES.BMP"));
                        clickNext(wizard);
                        QCOMPARE(wizard->step(), 2);
                        retype(wizard->sourceField(), picture);
                        retype(wizard->nameField(), QStringLiteral("BOARDROOM"));
                        clickNext(wizard);
                        QVERIFY2(wizard->step() == 3, shown.f.ui.messages.back().second.c_str());
                        saveShot(wizard, "add-resources-wizard");
                        clickNext(wizard);
                    });
                    clickAction(resources, "Add");
                    QListWidgetItem* added = userRow(resources->list(), QStringLiteral("BOARDROOM.bmp"));
                    QVERIFY(added);
                    clickRow(resources->list(), added);
                    saveShot(resources, "resources-view");
                    // As icons, every name shows whole, whatever the font.
                    clickAction(resources, "View"); // details
                    clickAction(resources, "View"); // icons
                    QListWidget* icons = resources->list();
                    QCOMPARE(icons->viewMode(), QListView::IconMode);
                    const QFontMetrics metrics(icons->font());
                    for (int row = 0; row < icons->count(); ++row) {
                        const QListWidgetItem* item = icons->item(row);
                        QVERIFY2(icons->visualItemRect(item).width() >= metrics.horizontalAdvance(item->text()),
                                 qPrintable(item->text()));
                    }
                    saveShot(resources, "resources-icons");
                    clickAction(resources, "Ok");
                });
                QTest::mouseClick(properties->iconButton(), Qt::LeftButton);
                QCOMPARE(properties->iconField()->text(), QStringLiteral("BOARDROOM.BMP"));

                // A new group of one member becomes the folder's rights.
                whenShown<UsersView>([&](UsersView* users) {
                    whenShown<OneLineTextView>([](OneLineTextView* ask) {
                        typeAndEnter(ask->textBox()->lineEdit(), QStringLiteral("Board"));
                    });
                    clickAction(users, "NewGroup");
                    QCOMPARE(users->groups()->currentText(), QStringLiteral("Board"));
                    QListWidgetItem* anna = userRow(users->allUsers(), QStringLiteral("Anna"));
                    clickRow(users->allUsers(), anna);
                    QTest::keyClick(users->allUsers(), Qt::Key_Space);
                    QCOMPARE(anna->checkState(), Qt::Checked);
                    users->allUsers()->clearSelection();
                    QTest::mouseClick(users->addButton(), Qt::LeftButton);
                    clickAction(users, "Ok");
                });
                QTest::mouseClick(properties->rightsButton(), Qt::LeftButton);
                QVERIFY(properties->rightsField()->text().contains(QStringLiteral("Anna Novak (ANNA)")));
                QVERIFY2(!properties->rightsField()->text().endsWith(QStringLiteral("; ")), "no separator at the end");
                saveShot(properties, "properties-view");
                clickAction(properties, "Ok");
            }));

        QVERIFY(std::filesystem::exists(root + "Gatherings/folder.folders"));
        QVERIFY(!std::filesystem::exists(root + "Meetings"));
        const std::string record = readBytes(root + "Gatherings/folder.folders");
        QVERIFY(holds(record, "every Monday"));
        QVERIFY(holds(record, "BOARDROOM.BMP"));
        QVERIFY(std::filesystem::exists(shown.f.dataPoint + "/DataPoint.system/Resources/Bitmaps/BOARDROOM.bmp"));
        QVERIFY(!std::filesystem::exists(shown.f.dataPoint + "/DataPoint.system/Resources/Bitmaps/NOTES.BMP"));
        QVERIFY(
            holds(readBytes(shown.f.session->context.settings.userGroupsResourceDirectory + "/Board.groups"), "ANNA"));
        QTRY_VERIFY_WITH_TIMEOUT(findItem(window.treeView(), QStringLiteral("Gatherings")).isValid(), kTimeout);

        // The history shows the change, and goes when it is deleted.
        whenShown<PropertiesView>([](PropertiesView* properties) {
            QTest::mouseClick(properties->tabs()->tabBar(), Qt::LeftButton, {},
                              properties->tabs()->tabBar()->tabRect(2).center());
            QVERIFY(properties->history()->item(0)->text().contains(QStringLiteral("Folder settings changed")));
            QVERIFY(properties->deleteHistoryButton()->isEnabled());
            QTest::mouseClick(properties->deleteHistoryButton(), Qt::LeftButton);
            QCOMPARE(properties->history()->count(), 1);
            QVERIFY(!properties->deleteHistoryButton()->isEnabled());
            clickAction(properties, "Cancel");
        });
        QVERIFY(openProperties(window, QStringLiteral("Gatherings")));
        QVERIFY(!std::filesystem::exists(root + "Gatherings/folder.history"));
        QVERIFY(window.close());
    }

    void aNewDataPointIsCreatedFromTheDataPointPageAndOfferedAtLogon() {
        LoggedOnWindow shown(true);
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const QString target = QString::fromStdString(shown.f.dir / "Second point");
        std::filesystem::create_directory(target.toStdString());
        clickFolder(window, QStringLiteral("Data point"));

        bool created = false;
        whenShown<CreateDataPointWizard>([&](CreateDataPointWizard* wizard) {
            clickNext(wizard);
            retype(wizard->field("Creator"), QStringLiteral("Ann Lee"));
            clickNext(wizard, 2);
            QCOMPARE(wizard->step(), 3); // no directory: a warning, and the page stays
            QTest::keyClicks(wizard->field("Directory"), target);
            QCOMPARE(wizard->field("Root")->text(), QStringLiteral("$DATA_POINT_PATH$\\DataPoint.root"));
            clickNext(wizard, 2);
            QCOMPARE(wizard->step(), 5);
            QTest::mouseClick(wizard->autoLogonBox(), Qt::LeftButton, {},
                              QPoint(8, wizard->autoLogonBox()->height() / 2));
            QVERIFY(wizard->autoLogonBox()->isChecked());
            clickNext(wizard);
            QVERIFY(wizard->findChild<QLabel*>("Summary")->text().contains(QStringLiteral("  Ann Lee, \n")));
            saveShot(wizard, "create-data-point-summary");
            clickNext(wizard);
            QCOMPARE(wizard->step(), 8);
            QVERIFY(!wizard->backButton()->isEnabled());
            saveShot(wizard, "create-data-point-done");
            clickNext(wizard);
            created = true;
        });
        clickUntil(window.pagePane()->view(), QStringLiteral("a[href=\"COMMAND:DATAPOINT:CREATE_NEW_DATAPOINT\"]"),
                   created);
        QCOMPARE(shown.f.ui.messages.size(), std::size_t(1));
        QVERIFY(holds(readBytes(target.toStdString() + "/DataPoint.info"), "AUTOLOGON=TRUE"));
        QVERIFY(std::filesystem::exists(target.toStdString() + "/DataPoint.system/Users/ANNA.user"));

        RegistryStore registry(RegistryStore::defaultPath());
        LoginForm logon(*shown.f.session, registry);
        QCOMPARE(logon.dataPointBox()->currentData().toString().isEmpty()
                     ? logon.dataPointBox()->currentText()
                     : logon.dataPointBox()->currentData().toString(),
                 target);
        QVERIFY(window.close());
    }

    void aFolderIsConnectedAndMovedToTheTop() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        const QString meetings = QString::fromStdString(shown.f.dataPoint + "/DataPoint.root/Meetings");

        QVERIFY(drive<UserFoldersWizard>(
            [&] {
                rightClickItem(window.treeView(), findItem(window.treeView(), QStringLiteral("Shared documents")));
                QVERIFY(clickMenuItem(QStringLiteral("Top folders")));
                QVERIFY(clickMenuItem(QStringLiteral("Connect or create a folder...")));
            },
            [&](UserFoldersWizard* wizard) {
                clickNext(wizard);
                QTest::keyClicks(wizard->field("Directory"), meetings);
                clickNext(wizard);
                QCOMPARE(wizard->field("Name")->text(), QStringLiteral("Meetings"));
                QVERIFY(!wizard->field("Name")->isEnabled());
                saveShot(wizard, "user-folders-wizard");
                clickNext(wizard, 2);
            }));
        QTreeView* tree = window.treeView();
        QTRY_COMPARE_WITH_TIMEOUT(textOf(tree->model()->index(2, 0)), QStringLiteral("Meetings"), kTimeout);

        QVERIFY(drive<ConnectFoldersView>(
            [&] {
                rightClickItem(tree, findItem(tree, QStringLiteral("Meetings")));
                QVERIFY(clickMenuItem(QStringLiteral("Top folders")));
                QVERIFY(clickMenuItem(QStringLiteral("Manage the list of top folders...")));
            },
            [&](ConnectFoldersView* view) {
                QTreeWidget* list = view->list();
                QCOMPARE(list->topLevelItemCount(), 3);
                clickItem(list, list->topLevelItem(2));
                clickAction(view, "Up");
                clickAction(view, "Up");
                QCOMPARE(list->topLevelItem(0)->text(0), meetings);
                QVERIFY(list->topLevelItem(0)->isSelected());
                saveShot(view, "connect-folders-view");
                clickAction(view, "Ok");
            }));
        QTRY_COMPARE_WITH_TIMEOUT(textOf(tree->model()->index(0, 0)), QStringLiteral("Meetings"), kTimeout);
        QVERIFY(window.close());
    }

    void aFileFromATemplateIsKeptForAttachingOrCancelled() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        const std::string letter = shown.f.dir / "Letter.txt";
        writeBytes(letter, "Dear ...");
        FileTemplateWizard wizard(*shown.f.session, shown.window.get());

        whenShown<FileTemplateWizard>([](FileTemplateWizard* shownWizard) {
            clickNext(shownWizard);
            QVERIFY(std::filesystem::exists(shownWizard->stagedPath()));
            saveShot(shownWizard, "file-template-wizard");
            clickNext(shownWizard);
            QCOMPARE(shownWizard->step(), 3);
            clickNext(shownWizard);
            QVERIFY(!shownWizard->isVisible());
        });
        const auto kept = wizard.run(letter);
        QVERIFY(kept && std::filesystem::exists(*kept));
        QCOMPARE(shown.f.session->lastTemplateDocument, *kept);
        QCOMPARE(shown.f.shell.opened.back(), *kept);

        std::string staged;
        whenShown<FileTemplateWizard>([&](FileTemplateWizard* shownWizard) {
            clickNext(shownWizard);
            staged = shownWizard->stagedPath();
            QTest::mouseClick(shownWizard->findChild<QPushButton*>("Cancel"), Qt::LeftButton);
        });
        QVERIFY(!wizard.run(letter));
        QVERIFY(!staged.empty() && !std::filesystem::exists(staged));
        QVERIFY(std::filesystem::exists(letter));
    }

    void aGroupThatCannotBeSavedIsReportedOnce() {
        SessionFixture f;
        QVERIFY(f.open() && loadUserData(*f.session));
        ImageLists images;
        UsersView users(*f.session, images);
        const std::string team = f.session->context.settings.userGroupsResourceDirectory + "/Team.groups";
        QVERIFY(drive<UsersView>([&] { QVERIFY(users.pick("")); },
                                 [&](UsersView* view) {
                                     // Team's record turns into a directory once the view has read it.
                                     std::filesystem::remove(team);
                                     std::filesystem::create_directory(team);
                                     QTest::keyClick(view->groups(), Qt::Key_Down);
                                     QCOMPARE(view->groups()->currentText(), QStringLiteral("Team"));
                                     QListWidgetItem* anna = userRow(view->allUsers(), QStringLiteral("Anna"));
                                     clickRow(view->allUsers(), anna);
                                     QTest::keyClick(view->allUsers(), Qt::Key_Space);
                                     QCOMPARE(anna->checkState(), Qt::Unchecked);
                                     clickAction(view, "Ok");
                                 }));
        QCOMPARE(f.ui.messages.size(), std::size_t(1));
        const std::string said = f.ui.messages.front().second;
        QVERIFY2(said.find("A data file could not be written") == 0 && said.find("Team") != std::string::npos,
                 said.c_str());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::AdministrationViewsTest)

#include "AdministrationViewsTest.moc"
