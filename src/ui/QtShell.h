#pragma once

#include "platform/Shell.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace quill {
class Session;
}

namespace quill::ui {

class ProgramWatcher;

// What the desktop does for the program: opening files with their usual
// programs, mail with an attachment, printing and the standard dialogs.
// The helpers run on their own; one that ends with a failure is reported
// through warn when it does. A helper that cannot be started at all is
// answered with false, for the caller to tell.
class QtShell final : public Shell {
public:
    // The warnings of the main window's section "GUI_FORM" that tell of a
    // helper that failed.
    static constexpr int kPrintFailed = 10;
    static constexpr int kMailFailed = 11;
    static constexpr int kOpenFailed = 12;

    QtShell();
    ~QtShell() override;

    bool openWithAssociatedProgram(const std::string& file, const std::string& parameters,
                                   const std::string& workingDirectory) override;
    void openHelpPage(const std::string& page) override;
    bool sendMail(const std::string& subject, const std::string& attachment) override;
    bool printFile(const std::string& file, const std::string& printer, const std::string& title) override;

    // Tells the user that a helper failed: the warning's number and what
    // it was about.
    std::function<void(int warning, const std::string& detail)> warn;
    // Sets warn to the session's warnings of the main window.
    void warnThrough(Session& session);
    // Shows a help page the desktop could not open; without it, warn.
    std::function<void(const std::string& page)> showPageInstead;

    // How many helpers have not ended yet.
    std::size_t helpersRunning() const;

    // The folder or file the user picks; empty when cancelled.
    static QString chooseFolder(QWidget* parent, const QString& title, const QString& start);
    static QString chooseFile(QWidget* parent, const QString& title, const QString& start, const QString& filter = {});

private:
    bool start(const std::vector<std::string>& commandLine, const std::string& directory, int warning,
               const std::string& detail, std::function<void()> instead = {});

    std::unique_ptr<ProgramWatcher> watcher_;
};

} // namespace quill::ui
