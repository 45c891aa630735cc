#pragma once

#include <QString>

class QFontMetrics;

namespace quill::ui {

// A path shortened to fit width pixels: directories in the middle give way
// to "…" one by one, keeping the first directory and the last name, which
// tell paths apart best; only if that is still too wide is the text
// elided in its middle.
QString shortenPath(const QString& path, const QFontMetrics& metrics, int width);

} // namespace quill::ui
