#include "PageAddress.h"

#include "platform/Cp1250.h"
#include "platform/TextUtil.h"

#include <QStringView>

#include <string>
#include <string_view>

namespace quill::ui {
namespace {

constexpr std::string_view kCommandScheme = "COMMAND:";

QString withCrLf(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += u"\r\n";
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// What a browser does with text it cannot put in the page's code page.
std::string cp1250WithReferences(const QString& text) {
    std::string out;
    for (const char32_t codePoint : text.toUcs4()) {
        if (const auto byte = cp1250::fromUnicode(codePoint))
            out += static_cast<char>(*byte);
        else
            out += "&#" + std::to_string(static_cast<unsigned long>(codePoint)) + ';';
    }
    return out;
}

void appendEncoded(QByteArray& out, const std::string& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= 'a' && byte <= 'z') || byte == '*' || byte == '-' || byte == '.' || byte == '_';
        if (plain) {
            out += static_cast<char>(byte);
        } else if (byte == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
}

} // namespace

QByteArray executorAddress(const QByteArray& encodedUrl) {
    // Not QByteArray::fromPercentEncoding: a '%' without two hexadecimal
    // digits after it must stay as it is, not turn into a wrong byte.
    std::string address =
        cp1250::fromUtf8(text::percentDecode(std::string_view(encodedUrl.constData(), encodedUrl.size())));
    if (cp1250::startsWithNoCase(address, kCommandScheme))
        address.replace(0, kCommandScheme.size(), kCommandScheme);
    return QByteArray(address.data(), static_cast<qsizetype>(address.size()));
}

QByteArray urlEncodedFormBody(const QList<FormField>& fields) {
    QByteArray body;
    for (const auto& [name, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        appendEncoded(body, cp1250WithReferences(withCrLf(name)));
        body += '=';
        appendEncoded(body, cp1250WithReferences(withCrLf(value)));
    }
    return body;
}

} // namespace quill::ui
