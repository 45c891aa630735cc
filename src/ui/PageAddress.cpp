#include "PageAddress.h"

#include "formats/PageAddress.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill::ui {
namespace {

QByteArray bytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QByteArray executorAddress(const QByteArray& encodedUrl) {
    return bytes(quill::executorAddress(std::string_view(encodedUrl.constData(), encodedUrl.size())));
}

QByteArray urlEncodedFormBody(const QList<FormField>& fields) {
    std::vector<PageFormField> utf8;
    utf8.reserve(fields.size());
    for (const auto& [name, value] : fields)
        utf8.emplace_back(name.toStdString(), value.toStdString());
    return bytes(quill::urlEncodedFormBody(utf8));
}

} // namespace quill::ui
