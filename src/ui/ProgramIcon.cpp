#include "ProgramIcon.h"

#include <QString>

namespace quill::ui {

QIcon programIcon() {
    QIcon builtIn;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icons/quill-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("quill"), builtIn);
}

} // namespace quill::ui
