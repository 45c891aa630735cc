#include "DocumentCommands.h"

#include "CommandRunner.h"

#include "documents/Companions.h"
#include "platform/FileSystem.h"

#include <ostream>

namespace quill::cli {
namespace {

// The document argument, checked before the data point is opened.
std::string takeDocument(Call& call) {
    const std::string document = call.arguments()[0];
    if (!fs::isRegularFile(document))
        throw CliError{"no such document: " + document};
    return document;
}

void expectRead(RecordRead read, std::string_view what, const std::string& document) {
    if (read == RecordRead::Failed)
        throw CliError{"cannot read the " + std::string(what) + " of " + document};
}

} // namespace

int commentsCommand(Call& call) {
    const std::string document = takeDocument(call);
    std::vector<Comment> comments;
    expectRead(readComments(call.session(), document, comments), "comments", document);
    for (const Comment& comment : comments)
        printLine(call.out, comment.text);
    return 0;
}

int attachmentsCommand(Call& call) {
    const std::string document = takeDocument(call);
    Session& session = call.session();
    std::vector<Attachment> attachments;
    std::vector<RefusedAttachment> refused;
    expectRead(readAttachments(session, document, attachments, &refused), "attachments", document);
    for (const Attachment& attachment : attachments)
        printLine(call.out,
                  attachment.name + "\t" + attachment.path + "\t" + std::string(attachmentTypeText(attachment.type)));
    for (const RefusedAttachment& slot : refused)
        session.ui.showMessage(MessageKind::Warning, "attachment " + std::to_string(slot.slot) + " (" + slot.name +
                                                         ") names no plain file name: " + slot.storedFile);
    return 0;
}

int scheduleCommand(Call& call) {
    const std::string document = takeDocument(call);
    Schedule schedule;
    const RecordRead read = readSchedule(call.session(), document, schedule);
    expectRead(read, "schedule", document);
    std::ostream& out = call.out;
    if (read == RecordRead::Missing)
        return 0; // not scheduled: nothing to print
    printLine(out, "OWNER\t" + schedule.owner);
    printLine(out, "TEAM\t" + schedule.team);
    printLine(out, "DATE\t" + schedule.date);
    printLine(out, "TIME\t" + schedule.time);
    printLine(out, "EVENT\t" + schedule.event);
    return 0;
}

} // namespace quill::cli
