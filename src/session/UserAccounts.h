#pragma once

#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Session;

// What the create-user wizard asks for.
struct NewUser {
    std::string logonName;
    std::string name;
    std::string surname;
    std::string password;
    bool administrator = false;
    std::string email;
    std::string web;
    std::string phone;
    std::string note;
};

// A user as the user records directory holds it.
struct UserAccount {
    std::string logonName; // the record's file name without ".user"
    std::string name;
    std::string surname;
    bool administrator = false;
    std::string file; // the user record
};

// Every readable user record, in listing order; records that cannot be
// read are left out.
std::vector<UserAccount> listUserAccounts(const Session& session);

// Whether a user record with that logon name exists. False for a name that
// cannot be a logon name (empty, a path separator, "." or "..").
bool userExists(const Session& session, std::string_view logonName);

// Whether the user record of logonName says it is an administrator's.
bool isAdministratorAccount(const Session& session, std::string_view logonName);

// What keeps a new user from being created, in the order it is checked.
enum class NewUserFault { None, MissingName, BadLogonName, Exists };

// The first fault of the new user's logon name, name and surname.
NewUserFault newUserFault(const Session& session, const NewUser& user);

// Writes the new user's record (the password stored as the data point
// stores passwords, the window layout the creating user has now) and makes
// the user's folder area and task directory. Refused for an empty logon
// name, name or surname, a logon name that cannot be a file name, and a
// user that exists; a record that cannot be written is not left behind.
// The session's users table is read anew, so that the new user can be
// picked at once.
Status createUser(Session& session, const NewUser& user);

// Deletes a user's record and folder list; withData also the user's task
// directory, groups, text cache and own folder area. Refused for the
// account the session is logged on with and for the last administrator.
// Only what lies inside the data point under the user's own name is
// deleted, and links are removed as links, never followed. The session's
// users table is read anew.
Status deleteUser(Session& session, std::string_view logonName, bool withData);

} // namespace quill
