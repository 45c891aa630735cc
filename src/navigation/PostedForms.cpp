#include "navigation/PostedForms.h"

#include "datapoint/DataPointInfo.h"
#include "documents/DocumentFiles.h"
#include "formats/FormData.h"
#include "formats/RecordFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"

#include <optional>

namespace quill {
namespace {

bool isDataPointDescription(const Session& session, const std::string& file) {
    const std::string& dataPoint = session.context.dataPointPath;
    return !dataPoint.empty() && path::comparableFolder(file) == path::comparableFolder(dataPointInfoPath(dataPoint));
}

Status iniFileFromAddress(const Session& session, std::string_view address, std::string& file) {
    const std::string upper = cp1250::upper(address);
    const std::size_t marker = upper.find("SAVE_INI");
    if (marker == std::string::npos || marker + 9 > address.size())
        return Status::failure("the address names no ini file");
    file = path::normalize(address.substr(marker + 9));
    const bool inDataPoint = fs::isWithin(file, session.context.dataPointPath);
    const std::string& resources = session.context.settings.resourceDirectory;
    const bool inResources = !resources.empty() && fs::isWithin(file, resources);
    if (!inDataPoint && !inResources)
        return Status::failure("cannot store the form in " + file + ": it lies outside the data point");
    if (fs::isSymlink(file))
        return Status::failure("cannot store the form in " + file + ": it is a link");
    if (isDataPointDescription(session, file)) {
        if (!session.program.isAdministrator)
            return Status::failure("only administrators may change the data point's description");
        return Status::success();
    }
    if (cp1250::upper(path::extension(file)) != ".INI")
        return Status::failure("cannot store the form in " + file + ": it is no ini file");
    return Status::success();
}

// DataPoint.info names the directories everybody logs on to: a form may
// change them only to directories that exist.
Status checkDescriptionForm(Session& session, const PostedForm& form) {
    for (const auto& [name, value] : form.pairs) {
        const std::string key = cp1250::upper(name);
        if ((key == "ROOT" || key == "USERS") && !fs::isDirectory(session.variables.expand(value, false)))
            return Status::failure("the data point's " + key + " directory cannot become " + value +
                                   ": there is no such directory");
    }
    return Status::success();
}

} // namespace

Status handlePostedForm(Session& session, std::string_view address, std::string_view body, const Record& shownRecord) {
    const PostedForm form = decodePostedForm(body);
    const std::string button = cp1250::upper(form.lastFieldName);
    if (button == "SAVE_DATA") {
        if (shownRecord.header.fileName.empty())
            return Status::failure("the page shows no record to store the form in");
        // A document's record changes under the document's lock, like every
        // other change of the document.
        const std::string target = shownRecord.header.path();
        std::optional<DocumentLock> lock;
        if (checkDocumentFile(session, target) == DocumentCheck::Document) {
            lock.emplace(session, target);
            if (!lock->held())
                return lock->status();
        }
        Record stored = shownRecord;
        return session.recordFiles().storePostedForm(stored, form);
    }
    if (button == "SAVE_INI") {
        std::string file;
        if (const Status placed = iniFileFromAddress(session, address, file); !placed)
            return placed;
        if (isDataPointDescription(session, file)) {
            if (const Status allowed = checkDescriptionForm(session, form); !allowed)
                return allowed;
        }
        return storePostedFormInIni(file, form);
    }
    return Status::failure("the form's button " + form.lastFieldName + " stores nothing");
}

} // namespace quill
