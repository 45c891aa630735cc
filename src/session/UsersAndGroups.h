#pragma once

#include "platform/Result.h"
#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Record;

class Session;
struct ProgramValues;

// One user record of the data point, as the users table holds it.
struct UserEntry {
    std::string logonName;
    std::string name;
    std::string surname;
    std::vector<bool> membership; // one flag per entry of the groups table
    bool selected = false;        // marks the users of a list being edited

    std::string fullName() const { return name + " " + surname; }
};

// A group of users defined by the logged-on user.
struct GroupEntry {
    std::string name;
    // The group record's path; kBuiltInGroupPath for all users, and
    // kDeletedGroupPath once the group is marked for deletion.
    std::string path;
    bool modified = false;
    std::string imageName;
    // The record file the group was read from or will be written to; kept
    // when path becomes kDeletedGroupPath so that deletion removes exactly
    // that file.
    std::string file;
};

inline constexpr std::string_view kBuiltInGroupPath = "SYSTEM";
inline constexpr std::string_view kDeletedGroupPath = "DELETE";
inline constexpr std::size_t kMaxGroupMembers = 20;

// Rebuilds the session's users table from the "*.user" records of the data
// point, in listing order; unreadable records are left out. False when no
// user record exists at all.
bool loadUsers(Session& session);

// Whether a user record is an administrator's: its "USER_TYPE" says
// "ADMINISTRATOR" in any letter case.
bool isAdministratorRecord(const Record& user);

// Reads the users table anew after users were created or deleted, keeping
// the group memberships and selections of the users that remain; a new
// user belongs to the group of all users only.
void refreshUsers(Session& session);

// Rebuilds the session's groups table: the built-in group of all users
// first, then every readable record of the user's Groups directory, with
// each user's membership flags.
void loadGroups(Session& session);

// Appends a new, modified group named name and answers its index in the
// groups table. A name that cannot be one (see nameFault) is refused with
// the reason. The name is not compared with the others: an existing name
// makes a second group over the same file.
Result<std::size_t> addGroup(Session& session, std::string_view name);

// The logged-on user's own group of that name, in any case: never the
// built-in group of all users, nor a group marked for deletion.
Result<std::size_t> findGroup(const Session& session, std::string_view name);

// Whether user (an index into the users table) belongs to group; false
// for indexes the tables do not hold.
bool isMember(const Session& session, std::size_t user, std::size_t group);

// The upper-cased logon names of the group's members, in users-table order.
std::vector<std::string> groupMembers(const Session& session, std::size_t group);

// Whether the group's members can be changed or the group deleted: not for
// the built-in group of all users (everyone is in it), a group marked for
// deletion, or one the table does not hold.
Status groupEditable(const Session& session, std::size_t group);

// Makes user a member of group or not, and marks the group modified.
// Refused, changing nothing, for a group that is not editable or a user
// the table does not hold.
Status setMembership(Session& session, std::size_t user, std::size_t group, bool member);

// Makes exactly the users named by logonNames (any case) the group's
// members and marks it modified. Refused, changing nothing, for more than
// kMaxGroupMembers names, a name no user has, or a group that is not
// editable.
Status setGroupMembers(Session& session, std::size_t group, const std::vector<std::string>& logonNames);

// Marks the group for deletion; saveGroups removes its record file. Its
// members leave it, but the users and their other groups stay as they were,
// and every other group keeps its index. Refused for a group that is not
// editable.
Status deleteGroup(Session& session, std::size_t group);

// Deletes the groups marked for deletion and writes every modified group:
// its name and up to twenty members, upper-cased, in users-table order.
// Every group is tried; a failure names the groups that were not stored.
// Nothing is shown to the user: the caller reports a failure.
Status saveGroups(Session& session);

// Each selected user as name + " " + surname + " (" + logon name + ")",
// parted by "; ". Texts written with a "; " after the last user as well
// are read the same.
std::string selectedUsersToListText(const std::vector<UserEntry>& users);

// Selects every user the list text names by logon name. Selections made
// before stay. False, selecting nobody, for a text that cannot be a list.
bool listTextToSelection(std::vector<UserEntry>& users, std::string_view text);

// Whether the owner or rights text names the logged-on user (without the
// administrators' exemption). Entries of the form "Name Surname (LOGON)"
// name the user when both names are the user's; an entry without a logon
// name does when it holds the user's full name. Any case.
bool namedTest(const ProgramValues& program, std::string_view text);

// The same, but administrators always pass.
bool accessTest(const ProgramValues& program, std::string_view text);

} // namespace quill
