#pragma once

#include "navigation/EmbeddedCommand.h"

#include <QByteArray>

#include <functional>
#include <string>

class QWidget;

namespace quill {
class Session;
}

namespace quill::ui {

// Carries out what a page asks for: stores a posted form, or runs a
// command of a link (open, save, print or mail an attached file of the
// document shown). Questions and warnings are shown over parent.
class PageCommandRunner {
public:
    PageCommandRunner(Session& session, QWidget* parent) : session_(session), parent_(parent) {}

    // documentPath: the document whose page is shown, if any. True when the
    // page should be shown again (a form was stored).
    bool run(const QByteArray& address, const QByteArray& formBody, const std::string& documentPath);

    // Runs the data point commands of pages (create or delete a user,
    // create a data point), which open the window's wizards.
    std::function<void(EmbeddedCommandKind kind)> dataPointCommand;

private:
    void runAttachmentCommand(const QByteArray& address, const std::string& documentPath);
    void warn(int number, const std::string& detail = {});

    Session& session_;
    QWidget* parent_;
};

} // namespace quill::ui
