#include "session/UsersAndGroups.h"

#include "formats/Record.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/NameRules.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/Session.h"

#include <algorithm>

namespace quill {
namespace {

std::string userField(std::size_t n) {
    return "USER" + std::to_string(n);
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

Status addGroup(Session& session, std::string_view name) {
    if (Status named = checkName(name, "group"); !named)
        return named;
    const std::string fileName = std::string(name) + ".groups";
    const std::string& directory = session.context.settings.userGroupsResourceDirectory;
    fs::createDirectories(directory);
    const std::string file = path::join(directory, fileName);
    addGroupEntry(session, GroupEntry{std::string(name), file, true, "USERS.BMP", file});
    return Status::success();
}

bool saveGroups(Session& session) {
    bool ok = true;
    for (std::size_t g = 0; g < session.groups.size(); ++g) {
        const GroupEntry& group = session.groups[g];
        const std::string kind = cp1250::upper(group.path);
        if (kind == kDeletedGroupPath) {
            if (!group.file.empty() && fs::exists(group.file))
                ok &= fs::removeFile(group.file).ok();
            continue;
        }
        if (!group.modified || kind == kBuiltInGroupPath || group.file.empty())
            continue;
        session.recordFiles().createEmpty(group.file);
        if (!session.readRecord(group.file)) {
            ok = false;
            continue;
        }
        Record& record = session.record;
        record.setValue("NAME", group.name);
        // Every member field is emptied, not only as many as there are users
        // now: members of a record written when there were more users would
        // otherwise survive their removal.
        for (std::size_t n = 1; n <= kMaxGroupMembers; ++n)
            record.setValue(userField(n), "");
        std::size_t next = 1;
        for (const UserEntry& user : session.users) {
            if (next > kMaxGroupMembers)
                break;
            if (g < user.membership.size() && user.membership[g])
                record.setValue(userField(next++), cp1250::upper(user.logonName));
        }
        if (session.writeRecord(group.file))
            session.groups[g].modified = false;
        else
            ok = false;
    }
    return ok;
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
