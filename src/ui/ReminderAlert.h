#pragma once

#include <QWidget>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace quill {
class Session;
class DismissedReminders;
} // namespace quill

namespace quill::ui {

// Tells of reminders that fell due, beside whatever the user works on: it
// never takes the keyboard and blocks no window, so a comment being typed
// goes on into its editor. The user dismisses the reminders for good,
// snoozes them, or opens the tasks view on them.
class ReminderAlert final : public QWidget {
    Q_OBJECT
public:
    ReminderAlert(Session& session, DismissedReminders& reminders, QWidget* parent);

    // Lists the due entries of the session's schedule (indices), which
    // marks them as seen, and shows the alert without activating it.
    void alert(const std::vector<std::size_t>& due);

    // Opens the tasks view on the due tasks.
    std::function<void()> showTasks;

    QListWidget* taskList() const { return list_; }
    QPushButton* dismissButton() const { return dismiss_; }
    QPushButton* snoozeButton() const { return snooze_; }
    QPushButton* showButton() const { return show_; }

private:
    void putAway(bool forGood);

    Session& session_;
    DismissedReminders& reminders_;
    std::vector<std::string> due_; // document paths
    QLabel* text_;
    QListWidget* list_;
    QPushButton* show_;
    QPushButton* snooze_;
    QPushButton* dismiss_;
};

} // namespace quill::ui
