#include "PdfExport.h"

#include "QtText.h"

#include "platform/AtomicFile.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

namespace quill::ui {

namespace {

enum class Outcome { Pending, NotLoaded, Printed, NotPrinted, TimedOut };

} // namespace

Status exportPageToPdf(const QString& pageFile, const QString& pdfFile, std::chrono::milliseconds limit) {
    // What the callbacks fill lives longer than the page, which may still
    // call them while it goes.
    Outcome outcome = Outcome::Pending;
    QByteArray pdf;
    QEventLoop loop;
    const auto end = [&](Outcome reached) {
        if (outcome != Outcome::Pending)
            return;
        outcome = reached;
        loop.quit();
    };
    QWebEnginePage page;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, [&](bool loaded) {
        if (!loaded) {
            end(Outcome::NotLoaded);
            return;
        }
        page.printToPdf([&](const QByteArray& data) {
            pdf = data;
            end(data.isEmpty() ? Outcome::NotPrinted : Outcome::Printed);
        });
    });
    QTimer::singleShot(limit, &loop, [&] { end(Outcome::TimedOut); });
    // A relative name is the working directory's file, as on any command line.
    page.load(QUrl::fromLocalFile(QFileInfo(pageFile).absoluteFilePath()));
    if (outcome == Outcome::Pending)
        loop.exec();

    const std::string shown = fromQt(pageFile);
    switch (outcome) {
    case Outcome::NotLoaded: return Status::failure("cannot load " + shown);
    case Outcome::NotPrinted: return Status::failure("the web engine made no PDF of " + shown);
    case Outcome::TimedOut:
        return Status::failure(shown + " was not done within " +
                               std::to_string(std::chrono::duration_cast<std::chrono::seconds>(limit).count()) +
                               " seconds (a script on it may never end)");
    case Outcome::Pending:
    case Outcome::Printed: break;
    }
    // The PDF replaces the file whole or not at all; a failure names the
    // system's reason.
    return replaceFile(fromQt(pdfFile), std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
}

} // namespace quill::ui
