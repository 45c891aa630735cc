// Creating and deleting users, as the administrator's wizards do.
#include "UserCommands.h"

#include "CommandRunner.h"

#include "platform/Cp1250.h"
#include "session/Session.h"
#include "session/UserAccounts.h"

#include <iostream>
#include <string>

namespace quill::cli {

int userCommand(Call& call) {
    Args& args = call.args;
    // Taken before the session's own options: here --admin makes the new
    // user an administrator, it does not make the caller one.
    const bool creating = !args.empty() && args[0] == "create";
    const bool administrator = creating && takeFlag(args, "--admin");
    const std::string mail = takeOption(args, "--mail");
    const std::string phone = takeOption(args, "--phone");
    const bool withData = takeFlag(args, "--with-data");
    Session& session = call.session();
    const std::string& logon = call.sessionOptions().logon;
    if (!isAdministratorAccount(session, logon))
        throw CliError{logon + " is no administrator of the data point"};
    if (call.action() == "create") {
        std::string password;
        std::getline(std::cin, password);
        if (!password.empty() && password.back() == '\r')
            password.pop_back();
        if (!cp1250::holds(password))
            throw CliError{"the password has letters the data point cannot store"};
        NewUser user{args[0], args[1], args[2], cp1250::fromUtf8(password), administrator, mail, {}, phone, {}};
        check(createUser(session, user));
    } else {
        check(deleteUser(session, args[0], withData));
    }
    return 0;
}

} // namespace quill::cli
