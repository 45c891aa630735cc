#include "navigation/PageCommands.h"

#include "documents/Companions.h"
#include "navigation/PostedForms.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"

namespace quill {
namespace {

// The warnings of "GUI_FORM" a page's request may end with.
constexpr int kFileNotFound = 6;
constexpr int kNoPrinter = 7;
constexpr int kFormNotStored = 8;
constexpr int kDesktopRefused = 9;

PageCommandStep warning(int number, std::string detail = {}) {
    PageCommandStep step;
    step.step = PageStep::Warn;
    step.warning = number;
    step.detail = std::move(detail);
    return step;
}

PageCommandStep withFile(PageStep kind, const AttachmentTarget& target) {
    PageCommandStep step;
    step.step = kind;
    step.file = target.path;
    step.displayName = target.displayName;
    return step;
}

PageCommandStep storeForm(Session& session, std::string_view address, std::string_view formBody,
                          const Record& shownRecord) {
    if (const Status stored = handlePostedForm(session, address, formBody, shownRecord); !stored)
        return warning(kFormNotStored, stored.message());
    PageCommandStep step;
    step.step = PageStep::ShowAgain;
    return step;
}

PageCommandStep openListedFile(Session& session, std::string_view name) {
    // A listing page shows the directory of the focused node.
    const auto file = resolveListedFile(session.actual.mainPath, name);
    if (!file)
        return warning(kFileNotFound);
    if (!session.shell.openWithAssociatedProgram(*file, {}, session.temporaryDirectory()))
        return warning(kDesktopRefused, *file);
    return {};
}

PageCommandStep mailAttachment(Session& session, const AttachmentTarget& target) {
    // The mail program attaches the file under its own name: a copy
    // carries the display name.
    const std::string scratch = attachmentStagingDirectory(session);
    if (scratch.empty() || !path::isPlainFileName(target.displayName))
        return warning(kDesktopRefused, target.path);
    fs::createDirectories(scratch);
    const std::string named = path::join(scratch, target.displayName);
    if (!fs::copyFile(target.path, named))
        return warning(kDesktopRefused, target.path);
    if (!session.shell.sendMail(target.displayName, named))
        return warning(kDesktopRefused, "xdg-email");
    return {};
}

PageCommandStep runAttachmentCommand(Session& session, EmbeddedCommandKind kind, std::string_view argument,
                                     std::string_view documentPath, const Record& shownRecord) {
    using Kind = EmbeddedCommandKind;
    const std::string expanded = session.variables.expand(argument, shownRecord, false);
    const auto target = documentPath.empty()
                            ? std::nullopt
                            : resolveAttachment(attachmentDirectory(documentPath), expanded, takesDisplayName(kind));
    if (!target)
        return warning(kFileNotFound);
    switch (kind) {
    case Kind::OpenAttachmentDocument:
        if (!session.shell.openWithAssociatedProgram(target->path, {}, session.temporaryDirectory()))
            return warning(kDesktopRefused, target->path);
        return {};
    case Kind::OpenAttachmentTemplate:
        // A new document from the template, made on a copy of its own.
        return withFile(PageStep::MakeFromTemplate, *target);
    case Kind::SaveAttachment: return withFile(PageStep::ChooseSaveTarget, *target);
    case Kind::PrintAttachment: {
        PageCommandStep step = withFile(PageStep::ConfirmPrint, *target);
        step.printer = session.shell.defaultPrinter();
        return step.printer.empty() ? warning(kNoPrinter) : step;
    }
    case Kind::SendMailAttachment: return mailAttachment(session, *target);
    default: return {};
    }
}

} // namespace

PageCommandStep runPageCommand(Session& session, std::string_view address, std::string_view formBody,
                               std::string_view documentPath, const Record& shownRecord) {
    if (!formBody.empty())
        return storeForm(session, address, formBody, shownRecord);
    const EmbeddedCommand command = parseEmbeddedCommand(address);
    using Kind = EmbeddedCommandKind;
    switch (command.kind) {
    case Kind::OpenFile: return openListedFile(session, command.argument);
    case Kind::SendMailAttachment:
    case Kind::PrintAttachment:
    case Kind::SaveAttachment:
    case Kind::OpenAttachmentDocument:
    case Kind::OpenAttachmentTemplate:
        return runAttachmentCommand(session, command.kind, command.argument, documentPath, shownRecord);
    case Kind::CreateUser:
    case Kind::DeleteUser:
    case Kind::CreateDataPoint: {
        PageCommandStep step;
        step.step = PageStep::DataPointCommand;
        step.command = command.kind;
        return step;
    }
    case Kind::None:
    case Kind::Unknown: return {};
    }
    return {};
}

PageCommandStep saveAttachmentCopy(const std::string& file, const std::string& target) {
    fs::createDirectories(path::directory(target));
    if (const Status copied = fs::copyFile(file, target); !copied)
        return warning(kDesktopRefused, copied.message());
    return {};
}

PageCommandStep printAttachment(Shell& shell, const std::string& file, const std::string& printer,
                                const std::string& displayName) {
    if (!shell.printFile(file, printer, displayName))
        return warning(kNoPrinter);
    return {};
}

} // namespace quill
