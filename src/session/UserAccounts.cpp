#include "session/UserAccounts.h"

#include "documents/DocumentFiles.h"
#include "formats/RecordFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FileTransaction.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "session/Session.h"
#include "session/UsersAndGroups.h"
#include "session/WindowGeometry.h"

#include <algorithm>

namespace quill {

namespace {

std::string recordOf(const Session& session, std::string_view logonName) {
    return path::join(session.context.userRecordsDirectory, std::string(logonName) + ".user");
}

bool plainLogonName(std::string_view logonName) {
    return !logonName.empty() && path::isPlainFileName(std::string(logonName) + ".user") &&
           path::isPlainFileName(logonName);
}

} // namespace

std::vector<UserAccount> listUserAccounts(const Session& session) {
    std::vector<UserAccount> accounts;
    const RecordFiles records = session.recordFiles();
    for (const std::string& file : listFiles(session.context.userRecordsDirectory, "*.user")) {
        Record record;
        if (fs::isDirectory(file) || records.read(file, record) != RecordRead::Ok)
            continue;
        accounts.push_back(UserAccount{path::withoutExtension(path::fileName(file)), record.value("NAME"),
                                       record.value("SURNAME"), isAdministratorRecord(record), file});
    }
    return accounts;
}

bool userExists(const Session& session, std::string_view logonName) {
    return plainLogonName(logonName) && fs::exists(recordOf(session, logonName));
}

bool isAdministratorAccount(const Session& session, std::string_view logonName) {
    Record record;
    return plainLogonName(logonName) &&
           session.recordFiles().read(recordOf(session, logonName), record) == RecordRead::Ok &&
           isAdministratorRecord(record);
}

NewUserFault newUserFault(const Session& session, const NewUser& user) {
    if (user.logonName.empty() || user.name.empty() || user.surname.empty())
        return NewUserFault::MissingName;
    if (!plainLogonName(user.logonName))
        return NewUserFault::BadLogonName;
    if (userExists(session, user.logonName))
        return NewUserFault::Exists;
    return NewUserFault::None;
}

Status createUser(Session& session, const NewUser& user) {
    switch (newUserFault(session, user)) {
    case NewUserFault::MissingName: return Status::failure("a new user needs a logon name, a name and a surname");
    case NewUserFault::BadLogonName:
        return Status::failure("a logon name must be usable as a file name: " + user.logonName);
    case NewUserFault::Exists: return Status::failure("the user " + user.logonName + " exists already");
    case NewUserFault::None: break;
    }
    const std::string file = recordOf(session, user.logonName);
    const RecordFiles records = session.recordFiles();
    const WindowGeometry& layout = session.context.geometry;
    const Status written = records.update(file, [&](Record& record) -> Status {
        const std::pair<const char*, std::string> values[] = {
            {"LOGON_NAME", user.logonName},
            {"NAME", user.name},
            {"SURNAME", user.surname},
            {"PASSWORD", user.password},
            {"ICON", "USER.BMP"},
            {"EMAIL", user.email},
            {"WEB", user.web},
            {"PHONE", user.phone},
            {"NOTE", user.note},
            {"USER_TYPE", user.administrator ? "ADMINISTRATOR" : "USER"},
        };
        for (const auto& [name, value] : values) {
            if (!record.setValue(name, value))
                return Status::failure(std::string("the user records have no field ") + name);
        }
        // The new user starts with the creating user's window layout.
        putGeometry(layout, record);
        return Status::success();
    });
    if (!written) {
        if (fs::isRegularFile(file))
            ignoreOutcome(fs::removeFile(file));
        return Status::failure("the user " + user.logonName + " was not created: " + written.message());
    }
    fs::createDirectories(path::join(session.context.usersRootDirectory, user.logonName));
    fs::createDirectories(path::join(session.context.tasksDirectory, user.logonName));
    // The pickers offer the users table: the new user is offered at once.
    refreshUsers(session);
    return Status::success();
}

Status deleteUser(Session& session, std::string_view logonName, bool withData) {
    const std::string logon(logonName);
    if (!plainLogonName(logon) || !fs::isRegularFile(recordOf(session, logon)))
        return Status::failure("there is no user " + logon);
    if (cp1250::equalsNoCase(logon, session.program.logonName))
        return Status::failure("you cannot delete the account you are logged on with");
    if (isAdministratorAccount(session, logon)) {
        const std::vector<UserAccount> accounts = listUserAccounts(session);
        const auto administrators = std::count_if(accounts.begin(), accounts.end(),
                                                  [](const UserAccount& account) { return account.administrator; });
        if (administrators <= 1)
            return Status::failure("the last administrator of the data point cannot be deleted");
    }
    // The record, the folder list and the user's data go as one change: a
    // kill half way never leaves a private folder that a new user of the
    // same name would be shown.
    const std::string records = session.context.userRecordsDirectory;
    std::vector<std::string> owned{recordOf(session, logon), path::join(records, logon + ".usrfolders")};
    if (withData) {
        const std::string resources = path::join(session.context.resourcesDirectory, "Users/" + logon);
        for (const std::string& item :
             {path::join(session.context.tasksDirectory, logon), path::join(resources, "Groups"),
              path::join(resources, "TextCache.txt"), path::join(session.context.usersRootDirectory, logon)})
            owned.push_back(item);
    }
    FileTransaction plan(session.transactionJournal(), session.dataPointDirectory());
    for (const std::string& item : owned) {
        if (!fs::exists(item) && !fs::isSymlink(item))
            continue;
        if (!fs::isWithin(fs::isSymlink(item) ? path::directory(item) : item, session.context.dataPointPath))
            return Status::failure("the user " + logon + " was not deleted: " + item + " lies outside the data point");
        plan.remove(item);
    }
    if (Status recovered = recoverInterruptedChanges(session); !recovered)
        return recovered;
    if (Status removed = plan.run(); !removed)
        return Status::failure("the user " + logon + " was not deleted: " + removed.message());
    refreshUsers(session);
    return Status::success();
}

} // namespace quill
