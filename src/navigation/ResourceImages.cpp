// The images users add to a data point and delete from it.
#include "navigation/ResourceImages.h"

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"

namespace quill {
namespace {

std::string sharedBitmaps(const Session& session) {
    return path::join(session.context.resourcesDirectory, "Bitmaps");
}

std::string localBitmaps(const Session& session) {
    return path::join(session.context.settings.resourceDirectory, "Bitmaps");
}

} // namespace

bool isMainTreeImage(const Session& session, std::string_view name) {
    return path::isPlainFileName(name) &&
           fs::exists(path::join(path::join(session.context.resourcesDirectory, "GUI/MainTreeView"), name));
}

Status checkNewImageName(Session& session, std::string& name) {
    if (path::extension(name).empty())
        name += ".bmp";
    if (!path::isPlainFileName(name))
        return Status::failure("\"" + name + "\" cannot be the name of an image");
    if (fs::exists(path::join(sharedBitmaps(session), name)) || isMainTreeImage(session, name))
        return Status::failure("an image named \"" + name + "\" exists already");
    return Status::success();
}

Status storeResourceImage(Session& session, const std::string& name, std::string_view bitmap) {
    if (!path::isPlainFileName(name))
        return Status::failure("\"" + name + "\" cannot be the name of an image");
    for (const std::string& directory : {sharedBitmaps(session), localBitmaps(session)}) {
        if (directory.empty())
            continue;
        if (!fs::createDirectories(directory))
            return Status::failure("the directory " + directory + " cannot be made");
        if (Status status = replaceFile(path::join(directory, name), bitmap); !status)
            return status;
    }
    return Status::success();
}

Status deleteResourceImage(Session& session, std::string_view name) {
    if (!path::isPlainFileName(name))
        return Status::failure("\"" + std::string(name) + "\" cannot be the name of an image");
    if (isMainTreeImage(session, name))
        return Status::failure("\"" + std::string(name) + "\" belongs to the folder tree");
    for (const std::string& directory : {sharedBitmaps(session), localBitmaps(session)}) {
        const std::string file = path::join(directory, name);
        if (fs::isSymlink(file) || fs::isRegularFile(file)) {
            if (Status status = fs::removeFile(file); !status)
                return status;
        }
    }
    return Status::success();
}

} // namespace quill
