#pragma once

#include "platform/Status.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Session;

// Appends the language text of event number (file "LOG", section "LOG",
// key = the number), expanded, as one line: events below 51 go to the data
// point's system.log, the others to the user's own log.
Status logEvent(Session& session, int number);

// The same for an event about the object named: "$ACTUALOBJECT.ACTUALNAME$"
// in its text shows actualName instead of the actual object's name.
Status logEvent(Session& session, int number, std::string_view actualName);

// The log file an event goes to.
std::string logFileFor(const Session& session, int number);

struct PendingEdit {
    int code = 0;
    std::string who;
    std::string date;
    std::string time;
};

// Changes noted since a record was opened, written to its history on save.
// Of each group of ten codes below 50 only the first change is kept.
class PendingEdits {
public:
    void note(int code, std::string who, std::string date, std::string time);
    void forget();
    bool empty() const { return entries_.empty(); }
    const std::vector<PendingEdit>& entries() const { return entries_; }

private:
    std::vector<PendingEdit> entries_;
    std::array<bool, 5> groupNoted_{};
};

// Notes an edit by the logged-on user, now.
void noteEdit(Session& session, int code);

// date + ", " + time + ": $EDITHISTORY.<code>.EDITHISTORY$ " + who
std::string editHistoryLine(const PendingEdit& edit);

// Appends the pending edits to the ".history" companion of recordPath and
// forgets them. False when nothing is pending or the record does not exist.
bool writeEditHistory(Session& session, const std::string& recordPath);

} // namespace quill
