#pragma once

#include <QDialog>

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

// The frame of a wizard: pages with a heading and lines of a language
// file, and Back, Next (Finish on the last page) and Cancel.
class WizardFrame : public QDialog {
    Q_OBJECT
public:
    int step() const { return step_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }

protected:
    WizardFrame(Session& session, std::string file, std::string section, QWidget* parent);
    // A page of the step's section: its "MAIN" in bold, then its lines;
    // the layout takes the page's own fields after them.
    QVBoxLayout* addPage(const std::string& stepSection, const std::vector<std::string>& lines);
    // Once every page has its fields: they keep to the top of the page.
    void finishPages();
    void showStep(int step);
    QString text(std::string_view section, std::string_view key) const;
    virtual void next() = 0;

    Session& session_;
    const std::string file_;
    const std::string section_;

private:
    QStackedWidget* pages_;
    std::vector<QVBoxLayout*> pageLayouts_;
    QPushButton* back_;
    QPushButton* next_;
    int step_ = 1;
};

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
