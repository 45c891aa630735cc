#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// Picks users for a user list text (an owner, the users with access, a
// team): every user with a check mark showing membership of the group
// chosen above, the users chosen so far, and the user's own groups, whose
// members Add takes all at once.
class UsersView final : public QDialog {
    Q_OBJECT
public:
    UsersView(Session& session, const ImageLists& images, QWidget* parent = nullptr);

    // The confirmed list text; nothing when cancelled.
    std::optional<std::string> pick(const std::string& listText);

    QListWidget* allUsers() const { return allUsers_; }
    QListWidget* chosenUsers() const { return chosen_; }
    QComboBox* groups() const { return groups_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }

protected:
    void done(int result) override;

private:
    void fill(const std::string& listText);
    void showMembership();
    void addChosen();
    void removeChosen();
    void membershipChanged(QListWidgetItem* item);
    void addGroup();
    void deleteGroup();
    void confirm(bool withGroups);
    int chosenGroup() const;

    Session& session_;
    const ImageLists& images_;
    QListWidget* allUsers_;
    QListWidget* chosen_;
    QComboBox* groups_;
    QPushButton* add_;
    QPushButton* remove_;
    QAction* deleteGroup_ = nullptr;
    bool filling_ = false;
    std::string answer_;
};

} // namespace quill::ui
