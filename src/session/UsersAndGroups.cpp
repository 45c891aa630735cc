#include "session/UsersAndGroups.h"

#include "formats/Record.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/NameRules.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/EventLog.h"
#include "session/Session.h"

#include <algorithm>

namespace quill {
namespace {

std::string userField(std::size_t n) {
    return "USER" + std::to_string(n);
}

bool isDeleted(const GroupEntry& group) {
    return cp1250::upper(group.path) == kDeletedGroupPath;
}

void addGroupEntry(Session& session, GroupEntry group) {
    session.groups.push_back(std::move(group));
    for (UserEntry& user : session.users)
        user.membership.push_back(false);
}

} // namespace

bool isAdministratorRecord(const Record& user) {
    return cp1250::upper(user.value("USER_TYPE")) == "ADMINISTRATOR";
}

bool loadUsers(Session& session) {
    session.users.clear();
    const std::vector<std::string> files = listFiles(session.context.userRecordsDirectory, "*.user");
    if (files.empty())
        return false;
    const RecordFiles records = session.recordFiles();
    for (const std::string& file : files) {
        Record record;
        if (fs::isDirectory(file) || records.read(file, record) != RecordRead::Ok)
            continue;
        UserEntry user;
        user.logonName = record.value("LOGON_NAME");
        user.name = record.value("NAME");
        user.surname = record.value("SURNAME");
        session.users.push_back(std::move(user));
    }
    return true;
}

void refreshUsers(Session& session) {
    std::vector<UserEntry> before = std::move(session.users);
    loadUsers(session);
    for (UserEntry& user : session.users) {
        const auto kept = std::find_if(before.begin(), before.end(), [&user](const UserEntry& old) {
            return cp1250::equalsNoCase(old.logonName, user.logonName);
        });
        if (kept != before.end()) {
            user.membership = std::move(kept->membership);
            user.selected = kept->selected;
        }
        // Every user belongs to the group of all users and to no other
        // group until made a member.
        user.membership.resize(session.groups.size(), false);
        if (!user.membership.empty())
            user.membership[0] = true;
    }
}

void loadGroups(Session& session) {
    const std::string allUsers = session.texts.lookup("SYSTEMVARIABLES", "$VARIABLE.ALL", "SystemVariables");
    session.groups = {GroupEntry{allUsers, std::string(kBuiltInGroupPath), false, "USERS_ALL.BMP", {}}};
    for (UserEntry& user : session.users)
        user.membership = {true};

    const RecordFiles records = session.recordFiles();
    for (const std::string& file : listFiles(session.context.settings.userGroupsResourceDirectory)) {
        Record record;
        if (fs::isDirectory(file) || isTemporaryWriteName(path::fileName(file)) ||
            records.read(file, record) != RecordRead::Ok)
            continue;
        addGroupEntry(session, GroupEntry{record.value("NAME"), file, false, "USERS.BMP", file});
        const std::size_t g = session.groups.size() - 1;
        for (std::size_t n = 1; n <= kMaxGroupMembers; ++n) {
            const std::string member = cp1250::upper(record.value(userField(n)));
            if (member.empty())
                continue;
            for (UserEntry& user : session.users) {
                if (cp1250::upper(user.logonName) == member)
                    user.membership[g] = true;
            }
        }
    }
}

Result<std::size_t> addGroup(Session& session, std::string_view name) {
    if (Status named = checkName(name, "group"); !named)
        return named;
    const std::string fileName = std::string(name) + ".groups";
    const std::string& directory = session.context.settings.userGroupsResourceDirectory;
    fs::createDirectories(directory);
    const std::string file = path::join(directory, fileName);
    addGroupEntry(session, GroupEntry{std::string(name), file, true, "USERS.BMP", file});
    return session.groups.size() - 1;
}

Result<std::size_t> findGroup(const Session& session, std::string_view name) {
    for (std::size_t g = 1; g < session.groups.size(); ++g) {
        if (!isDeleted(session.groups[g]) && cp1250::equalsNoCase(session.groups[g].name, name))
            return g;
    }
    return Result<std::size_t>::failure("the user has no group named " + std::string(name));
}

bool isMember(const Session& session, std::size_t user, std::size_t group) {
    if (user >= session.users.size())
        return false;
    const std::vector<bool>& membership = session.users[user].membership;
    return group < membership.size() && membership[group];
}

std::vector<std::string> groupMembers(const Session& session, std::size_t group) {
    std::vector<std::string> members;
    for (std::size_t u = 0; u < session.users.size(); ++u) {
        if (isMember(session, u, group))
            members.push_back(cp1250::upper(session.users[u].logonName));
    }
    return members;
}

Status groupEditable(const Session& session, std::size_t group) {
    if (group >= session.groups.size())
        return Status::failure("there is no group number " + std::to_string(group));
    if (group == 0 || cp1250::upper(session.groups[group].path) == kBuiltInGroupPath)
        return Status::failure("the group of all users holds every user and cannot be changed");
    if (isDeleted(session.groups[group]))
        return Status::failure("the group " + session.groups[group].name + " is being deleted");
    return Status::success();
}

Status setMembership(Session& session, std::size_t user, std::size_t group, bool member) {
    if (Status editable = groupEditable(session, group); !editable)
        return editable;
    if (user >= session.users.size())
        return Status::failure("there is no user number " + std::to_string(user));
    std::vector<bool>& membership = session.users[user].membership;
    membership.resize(std::max(membership.size(), session.groups.size()), false);
    membership[group] = member;
    session.groups[group].modified = true;
    return Status::success();
}

Status setGroupMembers(Session& session, std::size_t group, const std::vector<std::string>& logonNames) {
    if (Status editable = groupEditable(session, group); !editable)
        return editable;
    if (logonNames.size() > kMaxGroupMembers)
        return Status::failure("a group holds at most " + std::to_string(kMaxGroupMembers) + " members");
    const auto named = [&logonNames](const UserEntry& user) {
        return std::any_of(logonNames.begin(), logonNames.end(),
                           [&user](const std::string& logon) { return cp1250::equalsNoCase(logon, user.logonName); });
    };
    for (const std::string& logon : logonNames) {
        const bool known = std::any_of(session.users.begin(), session.users.end(), [&logon](const UserEntry& user) {
            return cp1250::equalsNoCase(logon, user.logonName);
        });
        if (!known)
            return Status::failure("no user has the logon name " + logon);
    }
    for (std::size_t u = 0; u < session.users.size(); ++u)
        ignoreOutcome(setMembership(session, u, group, named(session.users[u])));
    session.groups[group].modified = true;
    return Status::success();
}

Status deleteGroup(Session& session, std::size_t group) {
    if (Status editable = groupEditable(session, group); !editable)
        return editable;
    for (UserEntry& user : session.users) {
        if (group < user.membership.size())
            user.membership[group] = false;
    }
    session.groups[group].path = std::string(kDeletedGroupPath);
    return Status::success();
}

namespace {

// Writes one modified group record: its name and its members from USER1 on.
Status writeGroup(Session& session, std::size_t g) {
    const GroupEntry& group = session.groups[g];
    const RecordFiles records = session.recordFiles();
    records.createEmpty(group.file);
    Record record;
    std::string why;
    if (records.read(group.file, record, &why) != RecordRead::Ok) {
        ignoreOutcome(logEvent(session, 52));
        return Status::failure("cannot read " + group.file + (why.empty() ? "" : ": " + why));
    }
    record.setValue("NAME", group.name);
    // Every member field is emptied, not only as many as there are users
    // now: members of a record written when there were more users would
    // otherwise survive their removal.
    for (std::size_t n = 1; n <= kMaxGroupMembers; ++n)
        record.setValue(userField(n), "");
    std::size_t next = 1;
    for (const std::string& member : groupMembers(session, g)) {
        if (next > kMaxGroupMembers)
            break;
        record.setValue(userField(next++), member);
    }
    if (Status written = records.write(record, group.file); !written) {
        ignoreOutcome(logEvent(session, 53));
        return written;
    }
    return Status::success();
}

} // namespace

Status saveGroups(Session& session) {
    std::string failures;
    const auto failed = [&failures](const std::string& what, const Status& why) {
        failures += (failures.empty() ? "" : "; ") + what + (why.message().empty() ? "" : ": " + why.message());
    };
    for (std::size_t g = 0; g < session.groups.size(); ++g) {
        const GroupEntry& group = session.groups[g];
        if (isDeleted(group)) {
            if (group.file.empty() || !fs::exists(group.file))
                continue;
            if (Status removed = fs::removeFile(group.file); !removed)
                failed("the group " + group.name + " could not be deleted", removed);
            continue;
        }
        if (!group.modified || cp1250::upper(group.path) == kBuiltInGroupPath || group.file.empty())
            continue;
        if (Status written = writeGroup(session, g); !written)
            failed("the group " + group.name + " could not be written", written);
        else
            session.groups[g].modified = false;
    }
    return failures.empty() ? Status::success() : Status::failure(failures);
}

std::string selectedUsersToListText(const std::vector<UserEntry>& users) {
    std::string text;
    for (const UserEntry& user : users) {
        if (user.selected)
            text += (text.empty() ? "" : "; ") + user.name + " " + user.surname + " (" + user.logonName + ")";
    }
    return text;
}

bool listTextToSelection(std::vector<UserEntry>& users, std::string_view text) {
    const auto isList = [](std::string_view t) { return t.size() >= 5 && t.find('(') != std::string_view::npos; };
    if (!isList(text))
        return false;
    std::string_view rest = text;
    while (isList(rest)) {
        const std::size_t semicolon = rest.find(';');
        const std::string_view piece = semicolon == std::string_view::npos ? rest : rest.substr(0, semicolon + 1);
        rest.remove_prefix(piece.size());
        const std::size_t open = piece.find('(');
        if (open == std::string_view::npos)
            continue;
        const std::size_t close = piece.find(')', open);
        const std::string logon = cp1250::upper(
            piece.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1));
        for (UserEntry& user : users) {
            if (cp1250::upper(user.logonName) == logon) {
                user.selected = true;
                break;
            }
        }
    }
    return true;
}

namespace {

// Whether one entry of a user list text stands for the user. An entry the
// users view wrote carries the logon name in parentheses and names the user
// only when both its full name and its logon name are the user's: Anna
// Novak is not named by "Anna Novakova (ANNABELLE)". An entry typed by hand
// without a logon name names the user when it holds the full name.
bool entryNamesUser(const ProgramValues& program, std::string_view entry) {
    const std::size_t open = entry.find('(');
    if (open == std::string_view::npos)
        return cp1250::findNoCase(entry, text::trim(program.fullName)) != std::string_view::npos;
    const std::size_t close = entry.find(')', open);
    const std::string_view logon =
        entry.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1);
    return cp1250::equalsNoCase(text::trim(entry.substr(0, open)), text::trim(program.fullName)) &&
           cp1250::equalsNoCase(text::trim(logon), text::trim(program.logonName));
}

} // namespace

bool namedTest(const ProgramValues& program, std::string_view text) {
    // A user without a name would otherwise be "named" by every text that
    // holds a blank.
    if (text::trim(program.fullName).empty())
        return false;
    while (!text.empty()) {
        const std::size_t semicolon = text.find(';');
        if (entryNamesUser(program, text.substr(0, semicolon)))
            return true;
        text.remove_prefix(semicolon == std::string_view::npos ? text.size() : semicolon + 1);
    }
    return false;
}

bool accessTest(const ProgramValues& program, std::string_view text) {
    return program.isAdministrator || namedTest(program, text);
}

} // namespace quill
