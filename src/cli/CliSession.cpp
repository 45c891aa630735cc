#include "CliSession.h"

#include "documents/DocumentFiles.h"
#include "formats/RegistryStore.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Visibility.h"

#include <iostream>
#include <unistd.h>

namespace quill::cli {

void TerminalUi::showMessage(MessageKind kind, const std::string& text) {
    std::cerr << "quill-cli: " << (kind == MessageKind::Error ? "error: " : "warning: ") << cp1250::toUtf8(text)
              << '\n';
}

std::string executableDirectory() {
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return ".";
    buffer.resize(static_cast<std::size_t>(n));
    return path::directory(cp1250::fromUtf8(buffer));
}

std::string placeInDataPoint(const Session& session, const std::string& given, bool mayBeNew) {
    const std::string absolute = absolutePath(given);
    const std::string existing = mayBeNew && !fs::exists(absolute) ? path::directory(absolute) : absolute;
    const auto& c = session.context;
    if (fs::exists(existing)) {
        for (const std::string* place : {&c.dataPointPath, &c.rootDirectory, &c.usersRootDirectory}) {
            if (!place->empty() && fs::isWithin(existing, *place))
                return absolute;
        }
    }
    if (!fs::exists(existing) && !fs::isSymlink(existing))
        throw CliError{given + " does not exist"};
    throw CliError{given + " is nothing of the data point"};
}

void expectShown(Session& session, const std::string& path) {
    // Absolute, so that the folders above a relative path are seen too.
    if (!isVisibleToUser(session, absolutePath(path)))
        throw CliError{"not found: " + path + " is not shown to " + session.program.logonName +
                       " (its rights or those of a folder above it do not name the user)"};
}

SessionOptions takeSessionOptions(Args& args) {
    SessionOptions options;
    options.dataPoint = takeOption(args, "--datapoint");
    options.logon = takeOption(args, "--user");
    options.admin = takeFlag(args, "--admin");
    if (options.dataPoint.empty() || options.logon.empty())
        throw CliError{"this command needs --datapoint DIR and --user LOGON"};
    options.dataPoint = absolutePath(options.dataPoint);
    // A logon name becomes part of paths inside the data point.
    if (!path::isPlainFileName(options.logon + ".user"))
        throw CliError{"not a logon name: " + options.logon};
    return options;
}

std::optional<LocalDateTime> takeMoment(Args& args) {
    const std::string text = takeOption(args, "--at");
    if (text.empty())
        return std::nullopt;
    for (const char* pattern : {"d.M.yyyy H:mm", "d.M.yyyy H:mm:ss"}) {
        if (const auto moment = parseDateTime(text, pattern))
            return moment;
    }
    throw CliError{"--at needs a moment like 24.12.2026 9:30, not \"" + text + "\""};
}

CliSession::CliSession(const SessionOptions& options) {
    const std::string& dataPoint = options.dataPoint;
    clock_.at = options.at;
    if (!fs::exists(path::join(dataPoint, "DataPoint.info")))
        throw CliError{"cannot open data point " + dataPoint + ": it has no DataPoint.info"};

    ProgramValues program = ProgramValues::forProgram(executableDirectory());
    program.logonName = options.logon;
    program.isAdministrator = options.admin;
    session_ = std::make_unique<Session>(std::move(program), clock_, ui_, shell_);
    Session& s = *session_;
    s.formats = machineDateTimeFormats(RegistryStore(RegistryStore::defaultPath()));
    s.context.dataPointPath = path::withoutTrailingSeparator(dataPoint);
    if (startLogonContext(s) != ContextStart::Started)
        throw CliError{"cannot open data point " + dataPoint + ": its ROOT or USERS directory does not exist"};
    setUserPaths(s);
    // Only users of the data point are let in, so that nothing is created
    // there for a mistyped name.
    const bool userKnown = fs::isRegularFile(s.context.userRecordFile);
    if (!userKnown && !options.withoutUserRecord)
        throw CliError{"the data point " + dataPoint + " has no user " + options.logon};
    if (userKnown)
        createUserDirectories(s);
    readSettings(s);
    if (userKnown) {
        if (Status recovered = recoverInterruptedChanges(s); !recovered)
            ui_.showMessage(MessageKind::Warning, recovered.message());
    }
    // The full name and the administrator's rights are the user record's,
    // as a logon would set them; --admin grants the rights for one command.
    Record user;
    if (s.recordFiles().read(s.context.userRecordFile, user) == RecordRead::Ok) {
        s.program.fullName = user.value("NAME") + " " + user.value("SURNAME");
        s.program.isAdministrator |= cp1250::upper(user.value("USER_TYPE")) == "ADMINISTRATOR";
    }
}

} // namespace quill::cli
