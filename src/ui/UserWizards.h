#pragma once

#include "WizardFrame.h"

#include "session/UserAccounts.h"

#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// What a user wizard did; the caller builds the tree of users' folders
// again for a change.
enum class UserWizardAnswer { Nothing, UserCreated, UserDeleted };

// Creates a user: logon name and names, contact, password twice and type.
class CreateUserWizard final : public WizardFrame {
    Q_OBJECT
public:
    explicit CreateUserWizard(Session& session, QWidget* parent = nullptr);
    // UserCreated when a user was created, else Nothing.
    UserWizardAnswer run();

    QLineEdit* field(const char* name) const;
    QComboBox* typeBox() const { return type_; }

private:
    void next() override;

    NewUser typedUser() const;

    QComboBox* type_;
    UserWizardAnswer answer_ = UserWizardAnswer::Nothing;
};

// Deletes a user, with or without the user's own data.
class DeleteUserWizard final : public WizardFrame {
    Q_OBJECT
public:
    DeleteUserWizard(Session& session, const ImageLists& images, QWidget* parent = nullptr);
    // UserDeleted when the wizard deleted a user, else Nothing.
    UserWizardAnswer run();

    QListWidget* userList() const { return list_; }
    QCheckBox* withDataBox() const { return withData_; }

private:
    void next() override;
    void fillList();

    const ImageLists& images_;
    QListWidget* list_;
    QCheckBox* withData_;
    std::vector<std::string> logons_;
    UserWizardAnswer answer_ = UserWizardAnswer::Nothing;
};

} // namespace quill::ui
