#include "PdfExport.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

namespace quill::ui {

int exportPageToPdf(const QString& pageFile, const QString& pdfFile) {
    QWebEnginePage page;
    QEventLoop loop;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, [&](bool loaded) {
        if (!loaded)
            loop.exit(1);
        else
            page.printToPdf(pdfFile);
    });
    QObject::connect(&page, &QWebEnginePage::pdfPrintingFinished, &loop,
                     [&](const QString&, bool written) { loop.exit(written ? 0 : 1); });
    QTimer::singleShot(120000, &loop, [&] { loop.exit(2); });
    page.load(QUrl::fromLocalFile(pageFile));
    return loop.exec();
}

} // namespace quill::ui
