#include "PathShortening.h"

#include <QFontMetrics>
#include <QStringList>

namespace quill::ui {

QString shortenPath(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const QChar separator =
        path.contains(QLatin1Char('\\')) && !path.contains(QLatin1Char('/')) ? QLatin1Char('\\') : QLatin1Char('/');
    const QStringList parts = path.split(separator);
    // parts[0] is empty for an absolute path: the root and the first
    // directory stay, as does the last name.
    const int keepFront = parts.value(0).isEmpty() ? 2 : 1;
    if (parts.size() > keepFront + 1) {
        const QStringList front = parts.mid(0, keepFront);
        QStringList middle = parts.mid(keepFront, parts.size() - keepFront - 1);
        while (!middle.isEmpty()) {
            middle.removeFirst();
            const QString candidate =
                (front + QStringList{QString(QChar(0x2026))} + middle + QStringList{parts.last()}).join(separator);
            if (metrics.horizontalAdvance(candidate) <= width)
                return candidate;
        }
    }
    return metrics.elidedText(path, Qt::ElideMiddle, width);
}

} // namespace quill::ui
