#pragma once

#include "navigation/EmbeddedCommand.h"

#include <QByteArray>

#include <functional>
#include <string>

class QWidget;

namespace quill {
class Record;
class Session;
struct PageCommandStep;
} // namespace quill

namespace quill::ui {

// Carries out what a page asks for: the library runs the request, this
// asks the user where the library needs an answer (where to save, whether
// to print, the template wizard) and shows the warning it chose, over
// parent.
class PageCommandRunner {
public:
    PageCommandRunner(Session& session, QWidget* parent) : session_(session), parent_(parent) {}

    // documentPath: the document whose page is shown, if any. True when the
    // page should be shown again (a form was stored).
    bool run(const QByteArray& address, const QByteArray& formBody, const std::string& documentPath,
             const Record& shownRecord);

    // Runs the data point commands of pages (create or delete a user,
    // create a data point), which open the window's wizards.
    std::function<void(EmbeddedCommandKind kind)> dataPointCommand;

private:
    void carryOut(const PageCommandStep& step);
    void chooseSaveTarget(const PageCommandStep& step);
    void confirmPrint(const PageCommandStep& step);

    Session& session_;
    QWidget* parent_;
};

} // namespace quill::ui
