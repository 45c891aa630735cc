#pragma once

#include "WizardFrame.h"

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

// Creates a user: logon name and names, contact, password twice and type.
class CreateUserWizard final : public WizardFrame {
    Q_OBJECT
public:
    explicit CreateUserWizard(Session& session, QWidget* parent = nullptr);
    // "ADDUSER" when a user was created, else empty.
    std::string run();

    QLineEdit* field(const char* name) const;
    QComboBox* typeBox() const { return type_; }

private:
    void next() override;

    QComboBox* type_;
    std::string answer_;
};

// Deletes a user, with or without the user's own data.
class DeleteUserWizard final : public WizardFrame {
    Q_OBJECT
public:
    DeleteUserWizard(Session& session, const ImageLists& images, QWidget* parent = nullptr);
    // "DELUSER" when the wizard got as far as deleting, else empty.
    std::string run();

    QListWidget* userList() const { return list_; }
    QCheckBox* withDataBox() const { return withData_; }

private:
    void next() override;
    void fillList();

    const ImageLists& images_;
    QListWidget* list_;
    QCheckBox* withData_;
    std::vector<std::string> logons_;
    std::string answer_;
};

} // namespace quill::ui
