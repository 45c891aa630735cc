#include "QtShell.h"

#include "QtText.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTextDocument>

namespace quill::ui {

bool QtShell::openWithAssociatedProgram(const std::string& file, const std::string& parameters,
                                        const std::string& workingDirectory) {
    return opener_.openWithAssociatedProgram(file, parameters, workingDirectory);
}

bool QtShell::sendMail(const QString& address, const QString& subject, const QString& attachment) {
    QStringList arguments;
    if (!subject.isEmpty())
        arguments << QStringLiteral("--subject") << subject;
    if (!attachment.isEmpty())
        arguments << QStringLiteral("--attach") << attachment;
    // xdg-email wants at least one address or mailto: address.
    arguments << (address.isEmpty() ? QStringLiteral("mailto:") : address);
    return QProcess::startDetached(QStringLiteral("xdg-email"), arguments);
}

QString QtShell::chooseFolder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

QString QtShell::chooseFile(QWidget* parent, const QString& title, const QString& start, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, start, filter);
}

bool QtShell::printFile(QWidget* parent, const QString& file) {
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    // Pages and texts of the data point are code page 1250.
    const QString text = toQt(input.readAll().toStdString());
    QTextDocument document;
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
        document.setHtml(text);
    else
        document.setPlainText(text);
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    document.print(&printer);
    return true;
}

} // namespace quill::ui
