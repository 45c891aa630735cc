#include "UserWizards.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "QtText.h"
#include "TypedText.h"
#include "ViewSupport.h"

#include "session/Session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace quill::ui {

namespace {

QLineEdit* addField(QFormLayout* form, const QString& label, const char* name, QWidget* owner) {
    auto* field = new QLineEdit(owner);
    field->setObjectName(name);
    form->addRow(label, field);
    return field;
}

} // namespace

CreateUserWizard::CreateUserWizard(Session& session, QWidget* parent)
    : WizardFrame(session, "Wizzard_CreateUser", "WIZZARD_CREATEUSER", parent), type_(new QComboBox(this)) {
    setObjectName("TWizzard_CreateUser");
    addPage("STEP_1", kWizardTextLines);
    auto* names = new QFormLayout;
    addPage("STEP_2", {"TEXT"})->addLayout(names);
    addField(names, text("STEP_2", "TEXT1"), "LogonName", this);
    addField(names, text("STEP_2", "TEXT2"), "Name", this);
    addField(names, text("STEP_2", "TEXT3"), "Surname", this);
    auto* contact = new QFormLayout;
    addPage("STEP_3", {"TEXT"})->addLayout(contact);
    addField(contact, text("STEP_3", "TEXT1"), "Mail", this);
    addField(contact, text("STEP_3", "TEXT2"), "Web", this);
    addField(contact, text("STEP_3", "TEXT3"), "Phone", this);
    addField(contact, text("STEP_3", "TEXT4"), "Note", this);
    auto* secret = new QFormLayout;
    addPage("STEP_4", {"TEXT"})->addLayout(secret);
    addField(secret, text("STEP_4", "TEXT1"), "Password", this)->setEchoMode(QLineEdit::Password);
    addField(secret, text("STEP_4", "TEXT2"), "PasswordAgain", this)->setEchoMode(QLineEdit::Password);
    type_->setObjectName("Type");
    type_->addItems({text(section_, "USER"), text(section_, "ADMINISTRATOR")});
    secret->addRow(text("STEP_4", "TEXT3"), type_);
    addPage("STEP_5", kWizardTextLines);
    finishPages();
}

QLineEdit* CreateUserWizard::field(const char* name) const {
    return findChild<QLineEdit*>(name);
}

UserWizardAnswer CreateUserWizard::run() {
    answer_ = UserWizardAnswer::Nothing;
    for (QLineEdit* box : findChildren<QLineEdit*>())
        box->clear();
    type_->setCurrentIndex(0);
    showStep(1);
    exec();
    return answer_;
}

NewUser CreateUserWizard::typedUser() const {
    const auto value = [this](const char* name) { return fromQt(field(name)->text().trimmed()); };
    NewUser user;
    user.logonName = value("LogonName");
    user.name = value("Name");
    user.surname = value("Surname");
    user.password = fromQt(field("Password")->text());
    user.administrator = type_->currentIndex() == 1;
    user.email = value("Mail");
    user.web = value("Web");
    user.phone = value("Phone");
    user.note = value("Note");
    return user;
}

void CreateUserWizard::next() {
    if (!storableBoxes(session_, this))
        return;
    switch (step()) {
    case 2:
        switch (newUserFault(session_, typedUser())) {
        case NewUserFault::MissingName: session_.warn(MessageKind::Warning, section_, 1); return;
        case NewUserFault::Exists: session_.warn(MessageKind::Warning, section_, 2); return;
        // A logon name that cannot be a file name is refused, with the
        // reason, when the user is saved.
        case NewUserFault::BadLogonName:
        case NewUserFault::None: break;
        }
        break;
    case 4:
        if (field("Password")->text() != field("PasswordAgain")->text()) {
            session_.warn(MessageKind::Warning, section_, 3);
            return;
        }
        break;
    case 5:
        if (const Status created = createUser(session_, typedUser()); !created)
            reportFailure(session_, created, section_, 4);
        else
            answer_ = UserWizardAnswer::UserCreated;
        accept();
        return;
    default: break;
    }
    showStep(step() + 1);
    if (step() == 2)
        field("LogonName")->setFocus();
}

DeleteUserWizard::DeleteUserWizard(Session& session, const ImageLists& images, QWidget* parent)
    : WizardFrame(session, "Wizzard_DeleteUser", "WIZZARD_DELETEUSER", parent), images_(images),
      list_(new QListWidget(this)), withData_(new QCheckBox(this)) {
    setObjectName("TWizzard_DeleteUser");
    addPage("STEP_1", kWizardTextLines);
    QVBoxLayout* choose = addPage("STEP_2", {"TEXT"});
    choose->addWidget(new QLabel(text("STEP_2", "TEXT1"), this));
    list_->setObjectName("Users");
    choose->addWidget(list_, 1);
    withData_->setObjectName("WithData");
    withData_->setText(text("STEP_2", "CHECKBOX1"));
    choose->addWidget(withData_);
    addPage("STEP_3", kWizardTextLines);
    finishPages();
}

UserWizardAnswer DeleteUserWizard::run() {
    answer_ = UserWizardAnswer::Nothing;
    withData_->setChecked(false);
    showStep(1);
    exec();
    return answer_;
}

void DeleteUserWizard::fillList() {
    list_->clear();
    logons_.clear();
    const QString userText = languageText(session_, "WIZZARD_CREATEUSER", "USER", "Wizzard_CreateUser").toLower();
    const QString adminText =
        languageText(session_, "WIZZARD_CREATEUSER", "ADMINISTRATOR", "Wizzard_CreateUser").toLower();
    for (const UserAccount& account : listUserAccounts(session_)) {
        const QString row = toQt(account.name + " " + account.surname + " (" + account.logonName + ")") + "  - " +
                            (account.administrator ? adminText : userText);
        list_->addItem(new QListWidgetItem(images_.treeIcon(account.administrator ? "OWNER.BMP" : "USER.BMP"), row));
        logons_.push_back(account.logonName);
    }
    if (logons_.empty()) {
        list_->addItem(text(section_, "NOUSER"));
        nextButton()->setEnabled(false);
        backButton()->setEnabled(false);
        return;
    }
    list_->setCurrentRow(0);
}

void DeleteUserWizard::next() {
    switch (step()) {
    case 1:
        showStep(2);
        fillList();
        return;
    case 3: {
        const int row = list_->currentRow();
        if (row >= 0 && row < static_cast<int>(logons_.size())) {
            if (const Status deleted = deleteUser(session_, logons_[row], withData_->isChecked()); !deleted)
                reportFailure(session_, deleted, section_, 2, MessageKind::Warning);
            else
                answer_ = UserWizardAnswer::UserDeleted;
        }
        accept();
        return;
    }
    default: showStep(step() + 1);
    }
}

} // namespace quill::ui
