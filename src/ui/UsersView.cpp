#include "UsersView.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "OneLineTextView.h"
#include "QtText.h"
#include "TypedText.h"
#include "ViewSupport.h"

#include "session/Session.h"
#include "session/FormHelp.h"
#include "session/UsersAndGroups.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace quill::ui {

namespace {

constexpr int kUserRole = Qt::UserRole;      // index into the users table
constexpr int kGroupRole = Qt::UserRole + 1; // index into the groups table

// Enter and double click in a list run its command.
void onActivated(QListWidget* list, QObject* context, const std::function<void()>& command) {
    QObject::connect(list, &QListWidget::itemActivated, context, [command] { command(); });
}

} // namespace

UsersView::UsersView(Session& session, const ImageLists& images, QWidget* parent)
    : QDialog(parent), session_(session), images_(images), allUsers_(new QListWidget(this)),
      chosen_(new QListWidget(this)), groups_(new QComboBox(this)) {
    setObjectName("TUsers_Form");
    setWindowTitle(languageText(session, "USERS_FORM", "TITLE"));
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* ok = addToolButton(bar, session, images, 9, "Ok");
    auto* saveMenu = new QMenu(this);
    saveMenu->addAction(languageText(session, "POPUPMENU", "SAVEMENU1"), this, [this] { confirm(true); });
    saveMenu->addAction(languageText(session, "POPUPMENU", "SAVEMENU2"), this, [this] { confirm(false); });
    ok->setMenu(saveMenu);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(ok)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    QAction* cancel = addToolButton(bar, session, images, 10, "Cancel");
    bar->addSeparator();
    QAction* newGroup = addToolButton(bar, session, images, 20, "NewGroup");
    deleteGroup_ = addToolButton(bar, session, images, 21, "DeleteGroup");
    bar->addSeparator();
    QAction* help = addToolButton(bar, session, images, 19, "Help");
    connect(ok, &QAction::triggered, this, [this] { confirm(true); });
    connect(cancel, &QAction::triggered, this, &QDialog::reject);
    connect(newGroup, &QAction::triggered, this, [this] { addGroup(); });
    connect(deleteGroup_, &QAction::triggered, this, [this] { deleteGroup(); });
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "USERSFORM_HELPBUTTON"); });
    auto* ctrlEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(ctrlEnter, &QShortcut::activated, this, [this] { confirm(true); });

    allUsers_->setObjectName("AllUsers");
    allUsers_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    chosen_->setObjectName("ChosenUsers");
    chosen_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    groups_->setObjectName("Groups");
    add_ = new QPushButton(languageText(session, "USERS_FORM", "BUTTON1"), this);
    add_->setObjectName("Add");
    remove_ = new QPushButton(languageText(session, "USERS_FORM", "BUTTON2"), this);
    remove_->setObjectName("Remove");
    for (QPushButton* button : {add_, remove_})
        button->setAutoDefault(false);
    connect(add_, &QPushButton::clicked, this, [this] { addChosen(); });
    connect(remove_, &QPushButton::clicked, this, [this] { removeChosen(); });
    onActivated(allUsers_, this, [this] { addChosen(); });
    onActivated(chosen_, this, [this] { removeChosen(); });
    connect(allUsers_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { membershipChanged(item); });
    connect(groups_, &QComboBox::currentIndexChanged, this, [this] { showMembership(); });

    auto* layout = new QGridLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(groups_, 0, 0);
    layout->addWidget(new QLabel(languageText(session, "USERS_FORM", "LABEL1"), this), 1, 0);
    layout->addWidget(new QLabel(languageText(session, "USERS_FORM", "LABEL2"), this), 1, 2);
    layout->addWidget(allUsers_, 2, 0);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    buttons->addStretch();
    layout->addLayout(buttons, 2, 1);
    layout->addWidget(chosen_, 2, 2);
    auto* tip = new QLabel(languageText(session, "USERS_FORM", "LABEL3"), this);
    tip->setWordWrap(true);
    layout->addWidget(tip, 3, 0, 1, 3);
    resize(620, 420);
    restorePlace(this, session.context.geometry.users);
}

std::optional<std::string> UsersView::pick(const std::string& listText) {
    fill(listText);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return answer_;
}

void UsersView::fill(const std::string& listText) {
    filling_ = true;
    allUsers_->clear();
    chosen_->clear();
    groups_->clear();
    for (std::size_t u = 0; u < session_.users.size(); ++u) {
        auto* item = new QListWidgetItem(toQt(session_.users[u].fullName()), allUsers_);
        item->setData(kUserRole, static_cast<int>(u));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setIcon(images_.treeIcon("USER.BMP"));
    }
    loadGroups(session_);
    for (std::size_t g = 0; g < session_.groups.size(); ++g)
        groups_->addItem(images_.treeIcon(session_.groups[g].imageName), toQt(session_.groups[g].name),
                         static_cast<int>(g));
    groups_->setCurrentIndex(0);
    deleteGroup_->setEnabled(groups_->count() > 1);
    for (UserEntry& user : session_.users)
        user.selected = false;
    listTextToSelection(session_.users, listText);
    for (std::size_t u = 0; u < session_.users.size(); ++u) {
        if (!session_.users[u].selected)
            continue;
        auto* item = new QListWidgetItem(images_.treeIcon("USER.BMP"), toQt(session_.users[u].fullName()), chosen_);
        item->setData(kUserRole, static_cast<int>(u));
    }
    filling_ = false;
    showMembership();
}

int UsersView::chosenGroup() const {
    return groups_->currentIndex() < 0 ? -1 : groups_->currentData().toInt();
}

void UsersView::showMembership() {
    const int group = chosenGroup();
    filling_ = true;
    for (int row = 0; row < allUsers_->count(); ++row) {
        QListWidgetItem* item = allUsers_->item(row);
        const bool member = group >= 0 && isMember(session_, item->data(kUserRole).toInt(), group);
        item->setCheckState(member ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void UsersView::membershipChanged(QListWidgetItem* item) {
    if (filling_)
        return;
    const int group = chosenGroup();
    // A mark that cannot change (everyone is in the group of all users)
    // shows the membership again.
    if (group < 0 || !setMembership(session_, item->data(kUserRole).toInt(), group, item->checkState() == Qt::Checked))
        showMembership();
}

void UsersView::addChosen() {
    const int group = chosenGroup();
    std::vector<int> taken;
    if (allUsers_->selectedItems().isEmpty()) {
        for (std::size_t u = 0; u < session_.users.size(); ++u) {
            if (group >= 0 && isMember(session_, u, group))
                taken.push_back(static_cast<int>(u));
        }
    } else {
        for (QListWidgetItem* item : allUsers_->selectedItems())
            taken.push_back(item->data(kUserRole).toInt());
    }
    for (int u : taken) {
        UserEntry& user = session_.users[u];
        if (user.selected)
            continue;
        user.selected = true;
        auto* item = new QListWidgetItem(images_.treeIcon("USER.BMP"), toQt(user.fullName()), chosen_);
        item->setData(kUserRole, u);
    }
    allUsers_->clearSelection();
}

void UsersView::removeChosen() {
    for (QListWidgetItem* item : chosen_->selectedItems()) {
        session_.users[item->data(kUserRole).toInt()].selected = false;
        delete item;
    }
}

void UsersView::addGroup() {
    OneLineTextView ask(session_, images_, "ADDUSERGROUP_FORM", this);
    const QString name = ask.ask();
    if (name.isEmpty())
        return;
    // The view took only letters the data point can store.
    const std::string typed = fromQt(name);
    if (refuseName(session_, "GROUP_NAME", typed))
        return;
    const Result<std::size_t> added = quill::addGroup(session_, typed);
    if (!added) {
        reportFailure(session_, added, "SYSTEM_IO", 2, MessageKind::Warning);
        return;
    }
    groups_->addItem(images_.treeIcon(session_.groups[*added].imageName), name, static_cast<int>(*added));
    groups_->setCurrentIndex(groups_->count() - 1);
    deleteGroup_->setEnabled(groups_->count() > 1);
}

void UsersView::deleteGroup() {
    const int group = chosenGroup();
    if (group < 0 || !groupEditable(session_, group)) {
        session_.warn(MessageKind::Warning, "USERS", 1);
        return;
    }
    session_.ui.beep();
    const QString question = languageText(session_, "GROUPSUSERS", "QUESTION_1", "Questions");
    if (QMessageBox::question(this, windowTitle(), question) != QMessageBox::Yes)
        return;
    if (const Status deleted = quill::deleteGroup(session_, group); !deleted) {
        reportFailure(session_, deleted, "USERS", 1, MessageKind::Warning);
        return;
    }
    groups_->removeItem(groups_->currentIndex());
    groups_->setCurrentIndex(0);
    deleteGroup_->setEnabled(groups_->count() > 1);
}

void UsersView::confirm(bool withGroups) {
    if (withGroups) {
        if (const Status saved = saveGroups(session_); !saved)
            reportFailure(session_, saved, "SYSTEM_IO", 2, MessageKind::Warning);
    }
    answer_ = selectedUsersToListText(session_.users);
    accept();
}

void UsersView::done(int result) {
    session_.context.geometry.users = placeOf(this);
    QDialog::done(result);
}

} // namespace quill::ui
