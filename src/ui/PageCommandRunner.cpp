#include "PageCommandRunner.h"

#include "QtText.h"
#include "ResourceWizards.h"

#include "navigation/PageCommands.h"
#include "platform/Paths.h"
#include "session/Session.h"

#include <QFileDialog>
#include <QMessageBox>

#include <string_view>

namespace quill::ui {

bool PageCommandRunner::run(const QByteArray& address, const QByteArray& formBody, const std::string& documentPath,
                            const Record& shownRecord) {
    const PageCommandStep step =
        runPageCommand(session_, std::string_view(address.constData(), address.size()),
                       std::string_view(formBody.constData(), formBody.size()), documentPath, shownRecord);
    if (step.step == PageStep::ShowAgain)
        return true;
    carryOut(step);
    return false;
}

void PageCommandRunner::carryOut(const PageCommandStep& step) {
    switch (step.step) {
    case PageStep::Warn: session_.warn(MessageKind::Error, "GUI_FORM", step.warning, step.detail); return;
    case PageStep::ChooseSaveTarget: chooseSaveTarget(step); return;
    case PageStep::ConfirmPrint: confirmPrint(step); return;
    case PageStep::MakeFromTemplate: FileTemplateWizard(session_, parent_).run(step.file); return;
    case PageStep::DataPointCommand:
        if (dataPointCommand)
            dataPointCommand(step.command);
        return;
    case PageStep::Done:
    case PageStep::ShowAgain: return;
    }
}

void PageCommandRunner::chooseSaveTarget(const PageCommandStep& step) {
    const QString extension = toQt(path::extension(step.file));
    const QString filter = extension.isEmpty() ? QString() : QStringLiteral("(*%1)").arg(extension);
    const QString chosen = QFileDialog::getSaveFileName(
        parent_, toQt(session_.texts.lookup("GUI_FORM", "QUESTION_SAVE", "Questions")), toQt(step.displayName), filter);
    if (!chosen.isEmpty())
        carryOut(saveAttachmentCopy(step.file, fromQt(chosen)));
}

void PageCommandRunner::confirmPrint(const PageCommandStep& step) {
    const QString question = toQt(session_.texts.lookup("GUI_FORM", "QUESTION_PRINT", "Questions")) +
                             QStringLiteral("\n\n") + toQt(step.printer) + QStringLiteral("\n") +
                             toQt(step.displayName);
    if (QMessageBox::question(parent_, toQt(session_.texts.lookup("GUI_FORM", "TITLE", "GUI")), question) ==
        QMessageBox::Yes)
        carryOut(printAttachment(session_.shell, step.file, step.printer, step.displayName));
}

} // namespace quill::ui
