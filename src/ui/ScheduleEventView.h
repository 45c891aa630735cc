#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace quill {
class Session;
class MainTree;
} // namespace quill

namespace quill::ui {

class ImageLists;

// The user's tasks of one state, each with its owner, team, time and
// place; as the reminder alert it lists the tasks that are due, which
// marks them as seen.
class ScheduleEventView final : public QDialog {
    Q_OBJECT
public:
    enum class TaskList { Due = 0, Incoming = 1, Open = 2, Closed = 3 };

    ScheduleEventView(Session& session, const ImageLists& images, const MainTree& tree, QWidget* parent = nullptr);

    // What the view asks of the main window: the editor on a document, the
    // scheduler's full refresh, and selecting a document by its folder's
    // location text (false when the tree cannot find it).
    std::function<void(const std::string& document)> editDocument;
    std::function<void()> refreshTasks;
    std::function<bool(const std::string& document, const std::string& location)> goTo;

    // Shows the view modally; in alert mode with the due tasks, whatever
    // list was chosen before.
    void showTasks(bool alert);

    QTreeWidget* tree() const { return tree_; }
    TaskList shownList() const { return list_; }

protected:
    void done(int result) override;

private:
    void rebuild();
    void choose(TaskList list);
    void setFocusedTask(int entry);
    void goToFocused();
    void openFocused(QTreeWidgetItem* item);

    Session& session_;
    const ImageLists& images_;
    const MainTree& mainTree_;
    QTreeWidget* tree_;
    QLabel* heading_;
    QList<QAction*> listActions_;
    QAction* goToAction_ = nullptr;
    TaskList list_ = TaskList::Due;
    bool alertRequested_ = false;
};

} // namespace quill::ui
