#pragma once

#include "platform/Status.h"

#include <QString>

#include <chrono>

namespace quill::ui {

// How long writing a page as PDF may take before it is given up: a page
// whose script never ends would otherwise hold its caller for ever.
inline constexpr std::chrono::seconds kPdfExportLimit{120};

// Writes the page in file pageFile as a PDF file, as the print wizard's
// Save as PDF does, without showing a window. The failure says why: the
// page could not be loaded, did not finish within limit, or the PDF could
// not be written (with the system's reason).
Status exportPageToPdf(const QString& pageFile, const QString& pdfFile,
                       std::chrono::milliseconds limit = kPdfExportLimit);

} // namespace quill::ui
