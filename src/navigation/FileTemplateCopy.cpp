#include "navigation/FileTemplateCopy.h"

#include "documents/Companions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"

namespace quill {

Result<FileTemplateCopy> FileTemplateCopy::prepare(const Session& session, std::string_view templatePath) {
    const std::string staging = attachmentStagingDirectory(session);
    const std::string name = path::fileName(templatePath);
    if (staging.empty())
        return Result<FileTemplateCopy>::failure("no temporary directory to make the new file in");
    if (!path::isPlainFileName(name))
        return Result<FileTemplateCopy>::failure("not a file template: " + std::string(templatePath));
    // A directory that cannot be made shows when the copy is made.
    fs::createDirectories(staging);
    return FileTemplateCopy(std::string(templatePath), session.recordFiles().uniqueName(path::join(staging, name)));
}

Status FileTemplateCopy::make() const {
    return fs::copyFile(template_, path_);
}

void FileTemplateCopy::keep(Session& session) const {
    session.lastTemplateDocument = path_;
}

Status FileTemplateCopy::saveAs(std::string_view target) const {
    if (const Status copied = fs::copyFile(path_, target); !copied)
        return copied;
    // The saved file is the one the user goes on with; a copy left behind
    // in the temporary directory changes nothing.
    ignoreOutcome(fs::removeFile(path_));
    return Status::success();
}

void FileTemplateCopy::discard(const Session& session) const {
    if (fs::isRegularFile(path_) && !fs::isSymlink(path_) && liesInStagingDirectory(session, path_))
        ignoreOutcome(fs::removeFile(path_));
}

} // namespace quill
