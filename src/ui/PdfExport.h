#pragma once

#include <QString>

namespace quill::ui {

// Writes the page in file pageFile as a PDF file, as the print wizard's
// Save as PDF does, without showing a window. Returns 0 when the PDF was
// written, 1 when the page could not be loaded or the PDF not written, 2
// when the web engine did not finish within two minutes.
int exportPageToPdf(const QString& pageFile, const QString& pdfFile);

} // namespace quill::ui
