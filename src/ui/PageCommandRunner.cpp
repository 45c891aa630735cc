#include "PageCommandRunner.h"

#include "QtText.h"
#include "ResourceWizards.h"

#include "documents/Companions.h"
#include "navigation/EmbeddedCommand.h"
#include "navigation/PostedForms.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

namespace quill::ui {
namespace {

// The printer lp would use: lpstat's "system default destination: NAME".
QString defaultPrinter() {
    if (QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty())
        return {};
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-d")});
    if (!lpstat.waitForFinished(3000) || lpstat.exitCode() != 0)
        return {};
    const QString answer = QString::fromLocal8Bit(lpstat.readAllStandardOutput()).trimmed();
    const int colon = answer.lastIndexOf(QLatin1Char(':'));
    return colon < 0 || answer.startsWith(QLatin1String("no system default")) ? QString()
                                                                              : answer.mid(colon + 1).trimmed();
}

} // namespace

bool PageCommandRunner::run(const QByteArray& address, const QByteArray& formBody, const std::string& documentPath) {
    if (!formBody.isEmpty()) {
        Status why = Status::success();
        const PostResult result = handlePostedForm(session_, address.toStdString(), formBody.toStdString(), why);
        if (!why)
            warn(8, why.message());
        return result == PostResult::Stored;
    }
    runAttachmentCommand(address, documentPath);
    return false;
}

void PageCommandRunner::runAttachmentCommand(const QByteArray& address, const std::string& documentPath) {
    const EmbeddedCommand command = parseEmbeddedCommand(address.toStdString());
    using Kind = EmbeddedCommandKind;
    if (command.kind == Kind::OpenFile) {
        // A listing page shows the directory of the focused node.
        const auto file = resolveListedFile(session_.actual.mainPath, command.argument);
        if (!file)
            warn(6);
        else if (!session_.shell.openWithAssociatedProgram(*file, {}, session_.context.settings.temporaryDirectory))
            warn(9, *file);
        return;
    }
    switch (command.kind) {
    case Kind::SendMailAttachment:
    case Kind::PrintAttachment:
    case Kind::SaveAttachment:
    case Kind::OpenAttachmentDocument:
    case Kind::OpenAttachmentTemplate: break;
    case Kind::CreateUser:
    case Kind::DeleteUser:
    case Kind::CreateDataPoint:
        if (dataPointCommand)
            dataPointCommand(command.kind);
        return;
    default: return;
    }
    const std::string argument = session_.variables.expand(command.argument, session_.record, false);
    const auto target = documentPath.empty() ? std::nullopt
                                             : resolveAttachment(attachmentDirectory(documentPath), argument,
                                                                 takesDisplayName(command.kind));
    if (!target) {
        warn(6);
        return;
    }
    const std::string& temporary = session_.context.settings.temporaryDirectory;
    const std::string scratch = path::join(temporary, "Attachments");
    switch (command.kind) {
    case Kind::OpenAttachmentDocument:
        if (!session_.shell.openWithAssociatedProgram(target->path, {}, temporary))
            warn(9, target->path);
        return;
    case Kind::OpenAttachmentTemplate:
        // A new document from the template, made on a copy of its own.
        FileTemplateWizard(session_, parent_).run(target->path);
        return;
    case Kind::SaveAttachment: {
        const QString extension = toQt(path::extension(target->path));
        const QString filter = extension.isEmpty() ? QString() : QStringLiteral("(*%1)").arg(extension);
        const QString chosen =
            QFileDialog::getSaveFileName(parent_, toQt(session_.texts.lookup("GUI_FORM", "QUESTION_SAVE", "Questions")),
                                         toQt(target->displayName), filter);
        if (chosen.isEmpty())
            return;
        const std::string file = fromQt(chosen);
        fs::createDirectories(path::directory(file));
        if (Status copied = fs::copyFile(target->path, file); !copied)
            warn(9, copied.message());
        return;
    }
    case Kind::PrintAttachment: {
        const QString printer = defaultPrinter();
        if (printer.isEmpty()) {
            warn(7);
            return;
        }
        const QString question = toQt(session_.texts.lookup("GUI_FORM", "QUESTION_PRINT", "Questions")) +
                                 QStringLiteral("\n\n") + printer + QStringLiteral("\n") + toQt(target->displayName);
        if (QMessageBox::question(parent_, toQt(session_.texts.lookup("GUI_FORM", "TITLE", "GUI")), question) !=
            QMessageBox::Yes)
            return;
        if (!session_.shell.printFile(target->path, fromQt(printer), target->displayName))
            warn(7);
        return;
    }
    case Kind::SendMailAttachment: {
        // The mail program attaches the file under its own name: a copy
        // carries the display name.
        const std::string named = path::join(scratch, target->displayName);
        fs::createDirectories(scratch);
        if (!path::isPlainFileName(target->displayName) || !fs::copyFile(target->path, named)) {
            warn(9, target->path);
            return;
        }
        if (!session_.shell.sendMail(target->displayName, named))
            warn(9, "xdg-email");
        return;
    }
    default: return;
    }
}

void PageCommandRunner::warn(int number, const std::string& detail) {
    session_.warn(MessageKind::Error, "GUI_FORM", number, detail);
}

} // namespace quill::ui
