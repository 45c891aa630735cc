#include "SessionFixture.h"

namespace quill::test {

SessionFixture::SessionFixture() {
    dataPoint = copySampleDataPoint(dir);
    ProgramValues program;
    program.computerName = "WORKSTATION";
    program.logonName = "ANNA";
    program.fullName = "Anna Novak";
    program.programDirectory = resourcesDir();
    program.languageDirectory = resourcesDir() + "/Language";
    program.helpDirectory = resourcesDir() + "/Language/Help";
    session = std::make_unique<Session>(std::move(program), clock, ui, shell);
    session->context.dataPointPath = dataPoint;
}

bool SessionFixture::open() {
    if (startLogonContext(*session) != ContextStart::Started)
        return false;
    setUserPaths(*session);
    createUserDirectories(*session);
    return readSettings(*session);
}

} // namespace quill::test
