#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace quill {
class FindSession;
class MainTree;
class Session;
} // namespace quill

namespace quill::ui {

class ImageLists;

// Searches the text of every file of the user's folders, or of the
// selected one, and lists the documents that hold it. The search runs on
// a thread of its own and a timer takes what it found a few at a time, so
// the window answers at once and Stop takes effect within one file; the
// records of the found documents are read here, on the window's thread.
class FindView final : public QDialog {
    Q_OBJECT
public:
    FindView(Session& session, const ImageLists& images, const MainTree& tree, QWidget* parent = nullptr);
    ~FindView() override;

    // The same requests as the schedule event view makes of the window.
    std::function<void(const std::string& document)> editDocument;
    std::function<bool(const std::string& document, const std::string& location)> goTo;

    // Shows the view for the folder of the actual object.
    void showFor(const std::string& actualFolder);

    bool searching() const;
    QLineEdit* textBox() const { return text_; }
    QComboBox* kindBox() const { return kind_; }
    QRadioButton* selectedFolderButton() const { return selectedFolder_; }
    QCheckBox* subfoldersBox() const { return subfolders_; }
    QTreeWidget* results() const { return results_; }
    QLabel* progress() const { return progress_; }
    QAction* findAction() const { return find_; }
    QAction* goToAction() const { return goTo_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void toggleSearch();
    void start();
    void stop();
    void takeFound();
    void addGroup(const std::string& document);
    void setFocusedGroup(int group);
    void goToFocused();

    Session& session_;
    const ImageLists& images_;
    const MainTree& tree_;
    std::string actualFolder_;
    QTabWidget* pages_;
    QLineEdit* text_;
    QComboBox* kind_;
    QRadioButton* allFolders_;
    QRadioButton* selectedFolder_;
    QCheckBox* subfolders_;
    QTreeWidget* results_;
    QLabel* progress_;
    QAction* find_;
    QAction* goTo_;
    QTimer* poll_;
    int groups_ = 0;
    std::unique_ptr<FindSession> search_;
};

} // namespace quill::ui
