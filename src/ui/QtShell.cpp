#include "QtShell.h"

#include "ProgramWatcher.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "session/Session.h"

#include <QFileDialog>

namespace quill::ui {

namespace {

std::string nativeText(const std::string& path) {
    return fs::native(path).string();
}

} // namespace

QtShell::QtShell() : watcher_(std::make_unique<ProgramWatcher>()) {}

QtShell::~QtShell() = default;

void QtShell::warnThrough(Session& session) {
    warn = [&session](int warning, const std::string& detail) {
        session.warn(MessageKind::Error, "GUI_FORM", warning, detail);
    };
}

std::size_t QtShell::helpersRunning() const {
    return watcher_->running();
}

bool QtShell::start(const std::vector<std::string>& commandLine, const std::string& directory, int warning,
                    const std::string& detail, std::function<void()> instead) {
    const auto failed = [this, warning, detail, instead](int) {
        if (instead)
            instead();
        else if (warn)
            warn(warning, detail);
    };
    if (watcher_->start(commandLine, directory, failed))
        return true;
    // Not there at all: the caller says so, as for any request the desktop
    // could not take; a help page is still shown.
    if (instead)
        instead();
    return false;
}

bool QtShell::openWithAssociatedProgram(const std::string& file, const std::string& /*parameters*/,
                                        const std::string& workingDirectory) {
    // xdg-open takes one file or address and no parameters of its own.
    const std::string directory = workingDirectory.empty() ? std::string() : nativeText(workingDirectory);
    return start({"xdg-open", nativeText(file)}, directory, kOpenFailed, file);
}

void QtShell::openHelpPage(const std::string& page) {
    // Without a browser the page is still there for the user, in the
    // program's own page pane.
    std::function<void()> instead;
    if (showPageInstead)
        instead = [this, page] { showPageInstead(page); };
    const bool shown = !!instead;
    if (!start({"xdg-open", nativeText(page)}, {}, kOpenFailed, page, std::move(instead)) && !shown && warn)
        warn(kOpenFailed, page);
}

bool QtShell::sendMail(const std::string& subject, const std::string& attachment) {
    std::vector<std::string> commandLine{"xdg-email"};
    if (!subject.empty())
        commandLine.insert(commandLine.end(), {"--subject", cp1250::toUtf8(subject)});
    if (!attachment.empty())
        commandLine.insert(commandLine.end(), {"--attach", nativeText(attachment)});
    // xdg-email wants at least one address or mailto: address.
    commandLine.emplace_back("mailto:");
    return start(commandLine, {}, kMailFailed, attachment);
}

bool QtShell::printFile(const std::string& file, const std::string& printer, const std::string& title) {
    std::vector<std::string> commandLine{"lp"};
    if (!printer.empty())
        commandLine.insert(commandLine.end(), {"-d", cp1250::toUtf8(printer)});
    if (!title.empty())
        commandLine.insert(commandLine.end(), {"-t", cp1250::toUtf8(title)});
    commandLine.push_back(nativeText(file));
    return start(commandLine, {}, kPrintFailed, printer.empty() ? title : printer + ": " + title);
}

QString QtShell::chooseFolder(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

QString QtShell::chooseFile(QWidget* parent, const QString& title, const QString& start, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, start, filter);
}

} // namespace quill::ui
