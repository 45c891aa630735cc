#pragma once

#include "platform/Shell.h"

#include <QString>

class QWidget;

namespace quill::ui {

// What the desktop does for the program: opening files with their usual
// programs, mail with an attachment, the standard dialogs and printing.
class QtShell final : public Shell {
public:
    bool openWithAssociatedProgram(const std::string& file, const std::string& parameters,
                                   const std::string& workingDirectory) override;

    // A new mail in the user's mail program, with the file attached.
    bool sendMail(const QString& address, const QString& subject, const QString& attachment);

    // The folder or file the user picks; empty when cancelled.
    static QString chooseFolder(QWidget* parent, const QString& title, const QString& start);
    static QString chooseFile(QWidget* parent, const QString& title, const QString& start, const QString& filter = {});

    // Prints an HTML or text file after the print dialog; false when the
    // user cancels or the file cannot be read.
    bool printFile(QWidget* parent, const QString& file);

private:
    XdgShell opener_;
};

} // namespace quill::ui
