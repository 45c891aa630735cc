// Creating and deleting users, as the administrator's wizards do.
#include "UserCommands.h"

#include "CliSession.h"

#include "platform/Cp1250.h"
#include "session/Session.h"
#include "session/UserAccounts.h"

#include <iostream>
#include <string>

namespace quill::cli {
namespace {

constexpr const char* kUsage =
    "user create --datapoint DIR --user ADMIN LOGON NAME SURNAME [--admin] [--mail M] [--phone P] "
    "(the password on the first line of standard input) | "
    "user delete --datapoint DIR --user ADMIN LOGON [--with-data]";

} // namespace

int userCommand(Args args, std::ostream& out) {
    if (args.empty() || (args[0] != "create" && args[0] != "delete"))
        throw CliError{std::string("usage: ") + kUsage};
    const std::string action = args[0];
    args.erase(args.begin());
    // Taken before the session's own options: here --admin makes the new
    // user an administrator, it does not make the caller one.
    const bool administrator = action == "create" && takeFlag(args, "--admin");
    const std::string mail = takeOption(args, "--mail");
    const std::string phone = takeOption(args, "--phone");
    const bool withData = takeFlag(args, "--with-data");
    const SessionOptions options = takeSessionOptions(args);
    CliSession cli(options);
    Session& session = cli.session();
    if (!isAdministratorAccount(session, options.logon))
        throw CliError{options.logon + " is no administrator of the data point"};
    if (action == "create") {
        expectArgs(args, 3, 3, kUsage);
        std::string password;
        std::getline(std::cin, password);
        if (!password.empty() && password.back() == '\r')
            password.pop_back();
        if (!cp1250::holds(password))
            throw CliError{"the password has letters the data point cannot store"};
        NewUser user{args[0], args[1], args[2], cp1250::fromUtf8(password), administrator, mail, {}, phone, {}};
        check(createUser(session, user));
    } else {
        expectArgs(args, 1, 1, kUsage);
        check(deleteUser(session, args[0], withData));
    }
    (void)out;
    return 0;
}

} // namespace quill::cli
