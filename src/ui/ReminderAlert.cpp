#include "ReminderAlert.h"

#include "FailureMessage.h"
#include "QtText.h"
#include "ViewSupport.h"

#include "session/DismissedReminders.h"
#include "session/Session.h"
#include "session/TaskSets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quill::ui {

ReminderAlert::ReminderAlert(Session& session, DismissedReminders& reminders, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), session_(session), reminders_(reminders),
      text_(new QLabel(this)), list_(new QListWidget(this)), show_(new QPushButton(this)),
      snooze_(new QPushButton(this)), dismiss_(new QPushButton(this)) {
    setObjectName("ReminderAlert");
    // Shown beside an editor, it must not take the keys typed into it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    list_->setObjectName("DueTasks");
    show_->setObjectName("ShowTasks");
    snooze_->setObjectName("Snooze");
    dismiss_->setObjectName("Dismiss");
    for (QWidget* widget : std::initializer_list<QWidget*>{list_, show_, snooze_, dismiss_})
        widget->setFocusPolicy(Qt::NoFocus);
    connect(show_, &QPushButton::clicked, this, [this] {
        hide();
        if (showTasks)
            showTasks();
    });
    connect(snooze_, &QPushButton::clicked, this, [this] { putAway(false); });
    connect(dismiss_, &QPushButton::clicked, this, [this] { putAway(true); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(show_);
    buttons->addStretch();
    buttons->addWidget(snooze_);
    buttons->addWidget(dismiss_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(420, 220);
}

void ReminderAlert::alert(const std::vector<std::size_t>& due) {
    // The texts are read each time, so a changed language shows at once.
    const auto text = [this](const char* key) { return languageText(session_, "REMINDER_ALERT", key); };
    setWindowTitle(text("TITLE"));
    text_->setText(text("TEXT"));
    show_->setText(text("BUTTON_SHOW"));
    snooze_->setText(text("BUTTON_SNOOZE"));
    dismiss_->setText(text("BUTTON_DISMISS"));
    // Held by path: the table's order changes as tasks come and go. A
    // reminder still listed is not listed twice.
    for (const std::size_t index : due) {
        if (index >= session_.schedule.size())
            continue;
        const std::string& path = session_.schedule[index].documentPath;
        if (std::find(due_.begin(), due_.end(), path) == due_.end())
            due_.push_back(path);
    }
    list_->clear();
    for (const std::string& path : due_) {
        const std::size_t index = session_.schedule.find(path);
        if (index >= session_.schedule.size())
            continue;
        ScheduleEntry& entry = session_.schedule[index];
        list_->addItem(toQt(entry.name));
        // Listed is shown: it does not alert again in this run.
        markListed(entry, TaskSet::Due);
    }
    if (!isVisible()) {
        show();
        // Beside the window it belongs to, where a shown editor is not.
        if (QWidget* owner = parentWidget())
            move(owner->geometry().topRight() - QPoint(width() + 24, -48));
    }
}

void ReminderAlert::putAway(bool forGood) {
    const LocalDateTime now = session_.clock.now();
    for (const std::string& path : due_) {
        const std::size_t index = session_.schedule.find(path);
        if (index >= session_.schedule.size())
            continue;
        ScheduleEntry& entry = session_.schedule[index];
        if (forGood) {
            if (const Status kept = reminders_.dismiss(entry); !kept)
                reportFailure(session_, kept);
        } else {
            reminders_.snooze(entry, now);
            // Seen again once the snooze is over.
            entry.seen = false;
        }
    }
    due_.clear();
    hide();
}

} // namespace quill::ui
