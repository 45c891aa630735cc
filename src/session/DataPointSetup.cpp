// Making a new data point and making it known to the logon view.
#include "session/DataPointSetup.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "session/LogonContext.h"
#include "session/Session.h"

namespace quill {

Status createNewDataPoint(Session& session, std::string_view target, const DataPointDescription& description,
                          const CopyProgress& progress, const std::function<Status()>& beforePlacing) {
    LogonContext& context = session.context;
    if (context.dataPointPath.empty()) {
        context.dataPointPath = path::withoutTrailingSeparator(session.program.actualDataPointPath());
        if (!isDataPoint(context.dataPointPath) || startLogonContext(session) != ContextStart::Started)
            return Status::failure("there is no current data point to copy");
    }
    const std::string system = path::join(context.dataPointPath, "DataPoint.system");
    const DataPointSource source{context.dataPointPath, context.rootDirectory, context.usersRootDirectory,
                                 context.logsDirectory, path::join(system, "Messages/Tasks")};
    if (const Status status = createDataPointCopy(source, target, description, progress, beforePlacing); !status)
        return status;

    ProgramValues& program = session.program;
    program.knownDataPoints.push_back(path::withoutTrailingSeparator(std::string(target)));
    program.actualDataPoint = program.knownDataPoints.size() - 1;
    const std::string firstStart = path::join(program.programDirectory, "firststart");
    if (fs::isRegularFile(firstStart) && !fs::isSymlink(firstStart))
        ignoreOutcome(fs::removeFile(firstStart));
    return Status::success();
}

} // namespace quill
