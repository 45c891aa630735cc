#pragma once

#include "platform/Result.h"
#include "platform/Status.h"

#include <string>
#include <string_view>

namespace quill {

class Session;

// A new file made from a file template: a copy in the staging directory
// (<temporary directory>/Attachments) that opens for the user to fill in,
// and is then kept there to be attached to a document, or saved where the
// user chooses.
class FileTemplateCopy {
public:
    // Picks a name for the copy that no file has yet in the staging
    // directory, which is made when missing. Nothing is copied yet. Fails
    // while there is no temporary directory.
    static Result<FileTemplateCopy> prepare(const Session& session, std::string_view templatePath);

    const std::string& templatePath() const { return template_; }
    const std::string& path() const { return path_; }

    // Copies the template to path().
    Status make() const;
    // Keeps the copy for attaching: the next attachment offers it.
    void keep(Session& session) const;
    // Saves the copy as target, over a file there, and takes it out of the
    // staging directory.
    Status saveAs(std::string_view target) const;
    // Takes the copy away when the user gives it up. Only a regular file
    // in the staging directory goes, never a link or what it points to.
    void discard(const Session& session) const;

private:
    FileTemplateCopy(std::string templatePath, std::string path)
        : template_(std::move(templatePath)), path_(std::move(path)) {}

    std::string template_;
    std::string path_;
};

} // namespace quill
