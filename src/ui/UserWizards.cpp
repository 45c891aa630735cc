#include "UserWizards.h"

#include "ImageLists.h"
#include "QtText.h"
#include "ViewSupport.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "session/Session.h"
#include "session/UserAccounts.h"

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

WizardFrame::WizardFrame(Session& session, std::string file, std::string section, QWidget* parent)
    : QDialog(parent), session_(session), file_(std::move(file)), section_(std::move(section)),
      pages_(new QStackedWidget(this)) {
    setWindowTitle(text(section_, "CAPTION"));
    back_ = new QPushButton(text(section_, "BUTTON_BACK"), this);
    back_->setObjectName("Back");
    next_ = new QPushButton(text(section_, "BUTTON_NEXT"), this);
    next_->setObjectName("Next");
    auto* cancel = new QPushButton(text(section_, "BUTTON_CANCEL"), this);
    cancel->setObjectName("Cancel");
    for (QPushButton* button : {back_, next_, cancel})
        button->setAutoDefault(false);
    connect(back_, &QPushButton::clicked, this, [this] { showStep(step_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { next(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);
    resize(500, 380);
}

QString WizardFrame::text(std::string_view section, std::string_view key) const {
    return languageText(session_, section, key, file_);
}

QVBoxLayout* WizardFrame::addPage(const std::string& stepSection, const std::vector<std::string>& lines) {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    auto* heading = new QLabel(text(stepSection, "MAIN"), page);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    layout->addWidget(heading);
    for (const std::string& key : lines) {
        if (const QString line = text(stepSection, key); !line.isEmpty()) {
            auto* label = new QLabel(line, page);
            label->setWordWrap(true);
            layout->addWidget(label);
        }
    }
    pages_->addWidget(page);
    pageLayouts_.push_back(layout);
    return layout;
}

void WizardFrame::finishPages() {
    for (QVBoxLayout* layout : pageLayouts_)
        layout->addStretch();
}

void WizardFrame::showStep(int step) {
    step_ = std::clamp(step, 1, pages_->count());
    pages_->setCurrentIndex(step_ - 1);
    const bool last = step_ == pages_->count();
    back_->setEnabled(step_ > 1);
    next_->setEnabled(true);
    next_->setText(text(section_, last ? "BUTTON_FINISH" : "BUTTON_NEXT"));
}

namespace {

const std::vector<std::string> kIntroLines{"TEXT1", "TEXT2", "TEXT3", "TEXT4", "TEXT5"};

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
    addPage("STEP_1", kIntroLines);
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
    addPage("STEP_5", kIntroLines);
    finishPages();
}

QLineEdit* CreateUserWizard::field(const char* name) const {
    return findChild<QLineEdit*>(name);
}

std::string CreateUserWizard::run() {
    answer_.clear();
    for (QLineEdit* box : findChildren<QLineEdit*>())
        box->clear();
    type_->setCurrentIndex(0);
    showStep(1);
    exec();
    return answer_;
}

void CreateUserWizard::next() {
    const auto value = [this](const char* name) { return fromQt(field(name)->text().trimmed()); };
    switch (step()) {
    case 2:
        if (value("LogonName").empty() || value("Name").empty() || value("Surname").empty()) {
            session_.warn(MessageKind::Warning, section_, 1);
            return;
        }
        if (fs::exists(path::join(session_.context.userRecordsDirectory, value("LogonName") + ".user"))) {
            session_.warn(MessageKind::Warning, section_, 2);
            return;
        }
        break;
    case 4:
        if (field("Password")->text() != field("PasswordAgain")->text()) {
            session_.warn(MessageKind::Warning, section_, 3);
            return;
        }
        break;
    case 5: {
        NewUser user{value("LogonName"),
                     value("Name"),
                     value("Surname"),
                     fromQt(field("Password")->text()),
                     type_->currentIndex() == 1,
                     value("Mail"),
                     value("Web"),
                     value("Phone"),
                     value("Note")};
        if (const Status created = createUser(session_, user); !created)
            session_.warn(MessageKind::Error, section_, 4, created.message());
        else
            answer_ = "ADDUSER";
        accept();
        return;
    }
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
    addPage("STEP_1", kIntroLines);
    QVBoxLayout* choose = addPage("STEP_2", {"TEXT"});
    choose->addWidget(new QLabel(text("STEP_2", "TEXT1"), this));
    list_->setObjectName("Users");
    choose->addWidget(list_, 1);
    withData_->setObjectName("WithData");
    withData_->setText(text("STEP_2", "CHECKBOX1"));
    choose->addWidget(withData_);
    addPage("STEP_3", kIntroLines);
    finishPages();
}

std::string DeleteUserWizard::run() {
    answer_.clear();
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
    for (const std::string& file : listFiles(session_.context.userRecordsDirectory, "*.user")) {
        Record record;
        if (fs::isDirectory(file) || session_.recordFiles().read(file, record) != RecordRead::Ok)
            continue;
        const bool admin = cp1250::upper(record.value("USER_TYPE")) == "ADMINISTRATOR";
        const QString row = toQt(record.value("NAME") + " " + record.value("SURNAME") + " (" +
                                 path::withoutExtension(path::fileName(file)) + ")") +
                            "  - " + (admin ? adminText : userText);
        list_->addItem(new QListWidgetItem(images_.treeIcon(admin ? "OWNER.BMP" : "USER.BMP"), row));
        logons_.push_back(path::withoutExtension(path::fileName(file)));
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
                session_.ui.showMessage(MessageKind::Warning, deleted.message());
            else
                answer_ = "DELUSER";
        }
        accept();
        return;
    }
    default: showStep(step() + 1);
    }
}

} // namespace quill::ui
