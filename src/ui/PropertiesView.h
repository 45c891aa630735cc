#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace quill {
class Session;
}

namespace quill::ui {

class ImageLists;

// What the properties view saved: nothing, the settings, or the settings
// and a new folder name.
enum class PropertiesAnswer { Nothing, Saved, Renamed };

// The file facts and edit history of a document or folder, and a folder's
// own settings: note, page template, image, owner, rights, lock and name.
class PropertiesView final : public QDialog {
    Q_OBJECT
public:
    PropertiesView(Session& session, ImageLists& images, QWidget* parent = nullptr);

    // Shows path's properties; a folder's settings can be changed. Answers
    // Renamed when the folder was renamed too, with its new path in
    // renamedTo.
    PropertiesAnswer show(const std::string& path, bool folder, std::string* renamedTo = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    QLineEdit* nameField() const { return name_; }
    QLineEdit* noteField() const { return note_; }
    QLineEdit* urlField() const { return url_; }
    QLineEdit* iconField() const { return icon_; }
    QLineEdit* ownerField() const { return owner_; }
    QLineEdit* rightsField() const { return rights_; }
    QPushButton* iconButton() const { return pickIcon_; }
    QPushButton* ownerButton() const { return pickOwner_; }
    QPushButton* rightsButton() const { return pickRights_; }
    QCheckBox* lockBox() const { return lock_; }
    QListWidget* history() const { return history_; }
    QPushButton* deleteHistoryButton() const { return deleteHistory_; }

private:
    QWidget* factsTab();
    QWidget* settingsTab();
    QWidget* historyTab();
    void fillHistory();
    void changed(bool name = false);
    void save();

    Session& session_;
    ImageLists& images_;
    QTabWidget* tabs_;
    QLabel* facts_[9] = {};
    QLineEdit* name_ = nullptr;
    QLineEdit* note_ = nullptr;
    QLineEdit* url_ = nullptr;
    QLineEdit* icon_ = nullptr;
    QLineEdit* owner_ = nullptr;
    QLineEdit* rights_ = nullptr;
    QPushButton* pickIcon_ = nullptr;
    QPushButton* pickOwner_ = nullptr;
    QPushButton* pickRights_ = nullptr;
    QCheckBox* lock_ = nullptr;
    QListWidget* history_ = nullptr;
    QPushButton* deleteHistory_ = nullptr;
    QWidget* settings_ = nullptr;

    std::string path_;
    std::string file_;
    bool folder_ = false;
    bool filling_ = false;
    bool changed_ = false;
    bool nameChanged_ = false;
    bool settingsChanged_ = false; // anything but the name
    bool nameEditable_ = false;
    PropertiesAnswer answer_ = PropertiesAnswer::Nothing;
    std::string renamedTo_;
};

} // namespace quill::ui
