#include "DocumentCommands.h"

#include "CliSession.h"

#include "documents/Companions.h"
#include "platform/FileSystem.h"

#include <ostream>

namespace quill::cli {
namespace {

struct DocumentArgs {
    SessionOptions options;
    std::string document;
};

// "--datapoint DIR --user LOGON DOCUMENT", checked before the data point
// is opened.
DocumentArgs takeDocumentArgs(Args& args, std::string_view command) {
    DocumentArgs result{takeSessionOptions(args), {}};
    expectArgs(args, 1, 1, std::string(command) + " --datapoint DIR --user LOGON DOCUMENT");
    if (!fs::isRegularFile(args[0]))
        throw CliError{"no such document: " + args[0]};
    result.document = args[0];
    return result;
}

void expectRead(RecordRead read, std::string_view what, const std::string& document) {
    if (read == RecordRead::Failed)
        throw CliError{"cannot read the " + std::string(what) + " of " + document};
}

} // namespace

int commentsCommand(Args args, std::ostream& out) {
    const DocumentArgs a = takeDocumentArgs(args, "comments");
    CliSession cli(a.options);
    expectShown(cli.session(), a.document);
    std::vector<Comment> comments;
    expectRead(readComments(cli.session(), a.document, comments), "comments", a.document);
    for (const Comment& comment : comments)
        printLine(out, comment.text);
    return 0;
}

int attachmentsCommand(Args args, std::ostream& out) {
    const DocumentArgs a = takeDocumentArgs(args, "attachments");
    CliSession cli(a.options);
    expectShown(cli.session(), a.document);
    std::vector<Attachment> attachments;
    std::vector<RefusedAttachment> refused;
    expectRead(readAttachments(cli.session(), a.document, attachments, &refused), "attachments", a.document);
    for (const Attachment& attachment : attachments)
        printLine(out,
                  attachment.name + "\t" + attachment.path + "\t" + std::string(attachmentTypeText(attachment.type)));
    for (const RefusedAttachment& slot : refused)
        cli.session().ui.showMessage(MessageKind::Warning, "attachment " + std::to_string(slot.slot) + " (" +
                                                               slot.name +
                                                               ") names no plain file name: " + slot.storedFile);
    return 0;
}

int scheduleCommand(Args args, std::ostream& out) {
    const DocumentArgs a = takeDocumentArgs(args, "schedule");
    CliSession cli(a.options);
    expectShown(cli.session(), a.document);
    Schedule schedule;
    const RecordRead read = readSchedule(cli.session(), a.document, schedule);
    expectRead(read, "schedule", a.document);
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
