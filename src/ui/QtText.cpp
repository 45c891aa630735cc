#include "QtText.h"

#include "platform/Cp1250.h"

namespace quill::ui {

QString toQt(std::string_view cp1250Text) {
    return QString::fromStdString(cp1250::toUtf8(cp1250Text));
}

std::string fromQt(const QString& text) {
    return cp1250::fromUtf8(text.toStdString());
}

} // namespace quill::ui
